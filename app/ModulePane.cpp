#include "ModulePane.h"

#include "ControlBarWidget.h"
#include "EnvelopeEditor.h"
#include "PaneColumnLayout.h"
#include "PlotWidget.h"
#include "QtPlatform.h"
#include "process/DspApp.h"
#include "platform/RecordingCanvas.h"
#include "process/DspDoc.h"

#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <ctime>

namespace {
// The plot keeps this part of a pane's height however many rows the bar needs.
constexpr double kPlotShare = 0.5;

// Whether the view draws more than the background every view fills.
bool DrawsPlot(CDspView& view) {
    CRecordingCanvas canvas;
    view.OnDraw(canvas, CRect{0, 0, 320, 240});
    return std::any_of(canvas.Ops().begin(), canvas.Ops().end(),
                       [](const auto& op) { return op.op != CRecordingCanvas::EOp::fillRect; });
}
} // namespace

CModulePane::CModulePane(CDspView& view, QWidget* parent) : QWidget(parent), m_view(view) {
    auto refused = [this](const std::string& message) {
        if (CDspApp* app = m_view.GetDocument() ? m_view.GetDocument()->GetApp() : nullptr)
            app->MessageBox(message);
    };
    m_bar = new CControlBarWidget(view, refused);
    // The bar wraps into as many rows as the pane's width needs, and scrolls when they do not
    // fit above the plot.
    auto* barArea = new QScrollArea(this);
    barArea->setObjectName("controlBar");
    barArea->setFrameShape(QFrame::NoFrame);
    barArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    barArea->setWidgetResizable(true);
    barArea->setWidget(m_bar);
    m_bar->installEventFilter(this);
    m_plot = new CPlotWidget(view, this);
    // A preview may shrink further than a plot, leaving the height to a tall bar.
    const bool preview = !DrawsPlot(view);
    if (preview) {
        m_plot->SetBlockPreview(true);
        m_plot->setMinimumHeight(40);
    }
    CEnvelopeEditor::Attach(view, m_plot);
    m_status = new QLabel(this);
    m_status->setObjectName("status");
    m_status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setMinimumWidth(1); // a long status text must not widen the pane
    new CPaneColumnLayout(this, barArea, m_plot, m_status, preview ? 0.0 : kPlotShare);

    // A change the module cannot make while running stops the run: the user is told so.
    auto running = std::make_shared<bool>(false);
    auto isRunning = [this] {
        const CDspDoc* doc = m_view.GetDocument();
        return doc && doc->IsRunning() && !doc->IsPaused();
    };
    connect(m_bar, &CControlBarWidget::Applying, this,
            [running, isRunning] { *running = isRunning(); });
    connect(m_bar, &CControlBarWidget::Changed, this, [this, running, isRunning] {
        Invalidate();
        emit Modified();
        if (*running && !isRunning())
            emit Message("The change stopped the run: press Run (F5) to start it again");
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

bool CModulePane::eventFilter(QObject* watched, QEvent* event) {
    // The bar's rows changed (a text grew, a row wrapped): the pane shares its height anew.
    if (watched == m_bar && event->type() == QEvent::LayoutRequest) layout()->invalidate();
    return QWidget::eventFilter(watched, event);
}

void CModulePane::Invalidate() {
    if (m_detached || m_refreshQueued) return;
    // A module may invalidate several times within one step; the pane catches up once, after
    // the step, so a readout in the bar never lags the plot.
    m_refreshQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshQueued = false;
        Refresh();
    });
}

void CModulePane::Refresh() {
    if (m_detached) return;
    m_bar->Refresh();
    m_plot->update();
    UpdateStatusPane();
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
