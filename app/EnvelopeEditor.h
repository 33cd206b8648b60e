#pragma once
// The arbitrary filter's envelope text, shown over the right half of its plot while "Edit" is
// on. It follows the module whenever the plot repaints (every change the module makes asks for
// one) and hands what the user types back to the module, which parses it on "Update".

#include <QPlainTextEdit>

class CArbFilterView;
class CDspView;

class CEnvelopeEditor final : public QPlainTextEdit {
    Q_OBJECT
public:
    /** An editor on `plot` when the view is an arbitrary filter; null (and nothing done)
     *  otherwise. The plot owns it. */
    static CEnvelopeEditor* Attach(CDspView& view, QWidget* plot);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CEnvelopeEditor(CArbFilterView& view, QWidget* plot);
    /** Position, visibility, read-only state and text from the module. */
    void Sync();

    CArbFilterView& m_view;
    int m_shownEnvelope = -1;
    bool m_syncQueued = false;
};
