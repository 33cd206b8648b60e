#include "MessageBoxDialog.h"

#include "QtPlatform.h"
#include "ui/Fade.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

namespace {
constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kButtonRow = 5 + 25 + kMargin; // gap, button height, margin below
} // namespace

CMessageBoxDialog::CMessageBoxDialog(const CMessageBox& box, const CAppSettings& settings,
                                     bool sound, QWidget* parent)
    : QDialog(parent), m_box(box), m_settings(settings), m_result(box.CloseResult()) {
    setWindowTitle(CMessageBox::kCaption);
    setModal(true);
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(kIconSize));
    icon->setGeometry(kMargin, kMargin, kIconSize, kIconSize);

    m_text = new QLabel(QString::fromStdString(box.GetText()).remove('\r'), this);
    m_text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setWordWrap(true);
    m_text->setMargin(8);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    // The buttons are created once from the style's set, then placed by the core's rule.
    for (const CMessageBoxButton& b : box.LayoutButtons({0, 0, 300, 0})) {
        auto* button = new QPushButton(QString::fromStdString(b.label), this);
        const int result = b.result;
        connect(button, &QPushButton::clicked, this, [this, result] { Answer(result); });
        m_buttons.push_back(button);
    }
    if (!m_buttons.empty()) static_cast<QPushButton*>(m_buttons.front())->setDefault(true);

    const QSize text = m_text->sizeHint().expandedTo(QSize(320, 80));
    resize(kMargin + kIconSize + kMargin + text.width() + kMargin,
           kMargin + text.height() + kButtonRow);
    // The desktop has no named system sounds; its bell stands in for them.
    if (sound) QApplication::beep();
}

void CMessageBoxDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceButtons();
}

void CMessageBoxDialog::PlaceButtons() {
    const int left = kMargin + kIconSize + kMargin;
    m_text->setGeometry(left, kMargin, width() - left - kMargin, height() - kMargin - kButtonRow);
    const auto layout = m_box.LayoutButtons(FromQRect(m_text->geometry()));
    for (size_t i = 0; i < layout.size() && i < m_buttons.size(); ++i)
        m_buttons[i]->setGeometry(ToQRect(layout[i].rect));
}

void CMessageBoxDialog::reject() {
    Answer(m_box.CloseResult());
}

void CMessageBoxDialog::Answer(int result) {
    m_result = result;
    const int fade = m_settings.FadeTime();
    const int period = FadeTimerPeriod(fade);
    if (period <= 0 || !isVisible()) {
        done(result);
        return;
    }
    for (QWidget* b : m_buttons)
        b->setEnabled(false);
    m_opacity = 255;
    m_fadeClock.start();
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, timer, fade] {
        m_opacity = NextFadeOpacity(m_opacity, long(m_fadeClock.elapsed() / 1000), fade);
        if (m_opacity < 0) {
            timer->stop();
            done(m_result);
            return;
        }
        setWindowOpacity(m_opacity / 255.0);
    });
    timer->start(period);
}

int CDialogMessageSink::ShowMessageBox(const CMessageBox& box) {
    CMessageBoxDialog dialog(box, m_settings, m_sound, m_parent);
    dialog.exec();
    return dialog.Result();
}
