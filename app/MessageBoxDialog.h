#pragma once
// The application's own message box: the core composes the text and lays out the buttons, this
// dialog shows them modally, fades out when it closes and answers the core's result code.

#include "ui/AppSettings.h"
#include "ui/MessageSink.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;

class CMessageBoxDialog final : public QDialog {
    Q_OBJECT
public:
    /** `sound`: play the message box sound when the box opens. */
    CMessageBoxDialog(const CMessageBox& box, const CAppSettings& settings, bool sound,
                      QWidget* parent);

    /** The result code of the button pressed (or of the close button). */
    int Result() const { return m_result; }
    /** Finishes with a result code after the fade-out. */
    void Answer(int result);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void reject() override;

private:
    void PlaceButtons();

    const CMessageBox& m_box;
    CAppSettings m_settings;
    QLabel* m_text;
    std::vector<QWidget*> m_buttons;
    int m_result;
    int m_opacity = 255;
    QElapsedTimer m_fadeClock;
};

/** Shows every core message box as a CMessageBoxDialog over the given parent. */
class CDialogMessageSink final : public IMessageSink {
public:
    CDialogMessageSink(const CAppSettings& settings, bool sound, QWidget* parent = nullptr)
        : m_settings(settings), m_sound(sound), m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }
    int ShowMessageBox(const CMessageBox& box) override;

private:
    const CAppSettings& m_settings;
    bool m_sound;
    QWidget* m_parent;
};
