#include "ModulePane.h"

#include "ControlBarWidget.h"
#include "EnvelopeEditor.h"
#include "PlotWidget.h"
#include "QtPlatform.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <ctime>

CModulePane::CModulePane(CDspView& view, QWidget* parent) : QWidget(parent), m_view(view) {
    auto refused = [this](const std::string& message) {
        if (CDspApp* app = m_view.GetDocument() ? m_view.GetDocument()->GetApp() : nullptr)
            app->MessageBox(message);
    };
    m_bar = new CControlBarWidget(view, refused, this);
    m_plot = new CPlotWidget(view, this);
    CEnvelopeEditor::Attach(view, m_plot);
    m_status = new QLabel(this);
    m_status->setObjectName("status");
    m_status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setMinimumWidth(1); // a long status text must not widen the pane

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // A wide control bar scrolls instead of forcing its width on the pane and its neighbours.
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(m_bar);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setFixedHeight(m_bar->sizeHint().height() +
                           scroll->horizontalScrollBar()->sizeHint().height());
    layout->addWidget(scroll);
    layout->addWidget(m_plot, 1);
    layout->addWidget(m_status);

    connect(m_bar, &CControlBarWidget::Changed, this, [this] {
        Invalidate();
        emit Modified();
    });
    connect(m_plot, &CPlotWidget::Activated, this, [this] { emit Activated(this); });
    connect(m_plot, &CPlotWidget::ContextMenuRequested, this,
            [this](const QPoint& p) { emit ContextMenuRequested(this, p); });

    m_timer = new QTimer(this);
    connect(m_timer, &QTimer::timeout, this, &CModulePane::UpdateStatusPane);
    m_timer->start(1000);
    view.SetHost(this);
    UpdateStatusPane();
}

CModulePane::~CModulePane() {
    if (!m_detached) m_view.SetHost(nullptr);
}

void CModulePane::Detach() {
    m_view.SetHost(nullptr);
    m_detached = true;
    m_timer->stop();
    setEnabled(false);
    hide();
}

void CModulePane::Invalidate() {
    if (m_detached) return;
    m_plot->update();
    UpdateStatusPane();
}

void CModulePane::Refresh() {
    m_bar->Refresh();
    Invalidate();
}

void CModulePane::UpdateStatusPane() {
    if (m_detached) return;
    const CStatusPane pane = m_view.UpdateStatusPane(
        std::time(nullptr), FromQColor(palette().color(QPalette::WindowText)));
    m_status->setText(QString::fromStdString(pane.text));
    QPalette p = m_status->palette();
    p.setColor(QPalette::WindowText, ToQColor(pane.colour));
    m_status->setPalette(p);
}
