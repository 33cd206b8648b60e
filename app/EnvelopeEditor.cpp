#include "EnvelopeEditor.h"

#include "QtPlatform.h"
#include "modules/arbfilter/ArbFilterView.h"

#include <QEvent>
#include <QTimer>

namespace {
// The module keeps the edit control's "\r\n" line ends; the editor shows plain "\n".
QString ToEditor(const std::string& text) {
    return QString::fromStdString(text).replace("\r\n", "\n");
}
std::string FromEditor(const QString& text) {
    return QString(text).replace("\n", "\r\n").toStdString();
}
} // namespace

CEnvelopeEditor* CEnvelopeEditor::Attach(CDspView& view, QWidget* plot) {
    auto* filter = dynamic_cast<CArbFilterView*>(&view);
    return filter ? new CEnvelopeEditor(*filter, plot) : nullptr;
}

CEnvelopeEditor::CEnvelopeEditor(CArbFilterView& view, QWidget* plot)
    : QPlainTextEdit(plot), m_view(view) {
    setObjectName("envelopeText");
    setLineWrapMode(QPlainTextEdit::NoWrap);
    hide();
    plot->installEventFilter(this);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!isReadOnly()) m_view.SetEnvelopeText(FromEditor(toPlainText()));
    });
}

bool CEnvelopeEditor::eventFilter(QObject* watched, QEvent* event) {
    // Geometry and visibility change after the paint, never inside it.
    if ((event->type() == QEvent::Paint || event->type() == QEvent::Resize) && !m_syncQueued) {
        m_syncQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_syncQueued = false;
            Sync();
        });
    }
    return QPlainTextEdit::eventFilter(watched, event);
}

void CEnvelopeEditor::Sync() {
    CRect plot, text;
    m_view.GetEditLayout(FromQRect(parentWidget()->rect()), plot, text);
    const bool shown = m_view.IsEditShown() && text.right > text.left;
    setVisible(shown);
    if (!shown) return;
    setGeometry(ToQRect(text));
    setReadOnly(m_view.IsEnvelopeTextReadOnly());
    // Typing is never overwritten: the module's text replaces the editor's only when another
    // envelope is shown or the module changed it (a file, a paste, "New").
    const int envelope = m_view.GetEditedEnvelope();
    const QString wanted = ToEditor(m_view.GetEnvelopeText(envelope));
    if (envelope != m_shownEnvelope || toPlainText() != wanted) {
        const QSignalBlocker quiet(this);
        setPlainText(wanted);
        m_shownEnvelope = envelope;
    }
}
