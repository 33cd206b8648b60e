#pragma once
// "SoundIO Module Calibration": the calibration session of a SoundIO step behind its controls,
// progress bars and status line, with the level-entry dialog and the information window the
// procedures use.

#include "soundio/CalibrationSession.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

class CCalibrationDialog final : public QDialog {
    Q_OBJECT
public:
    CCalibrationDialog(CDspApp& app, CSoundIOView& owner, QWidget* parent = nullptr);
    /** Opens the calibration process; false (after its message) when the dialog cannot show. */
    bool Open();
    CCalibrationSession& Session() { return m_session; }
    QPushButton* Button(const QString& text) const;
    QComboBox* CalibrationType() const { return m_calSel; }
    QString Status() const;

    void accept() override;
    void reject() override;

private:
    /** One channel's controls, bound to its fields of the edited record. */
    struct CChannelControls {
        QLabel* detected = nullptr;
        QLineEdit *level = nullptr, *trigger = nullptr, *offset = nullptr, *mixer = nullptr,
                  *source = nullptr, *gain = nullptr, *destination = nullptr;
        QCheckBox* levelApply = nullptr;
        QLineEdit *latencyOut = nullptr, *latencyIn = nullptr, *latency = nullptr;
        QLineEdit *freqOut = nullptr, *freqIn = nullptr, *freqType = nullptr;
        QCheckBox* freqApply = nullptr;
    };

    QWidget* MakeChannel(int channel);
    void FillControls();
    void TakeControls();
    void OnRun();
    /** Every button stops the calibration process first. */
    /** A button that, like every one here, first stops a running procedure. */
    void AddButton(QLayout* row, const QString& text, std::function<void()> handler);
    CCalibrationHost MakeHost();
    std::optional<CCalibrationLevelInput> AskLevels(const CCalibrationLevelInput& shown);
    void ShowInformation(const std::string& text);

    CCalibrationSession m_session;
    QLineEdit* m_file;
    QComboBox* m_calSel;
    QComboBox* m_measSel;
    QComboBox* m_freqType;
    std::array<CChannelControls, 2> m_channels;
    QProgressBar* m_progress;
    std::array<QProgressBar*, 2> m_levelBars;
    QLabel* m_status;
    QPushButton* m_mixerButton = nullptr;
    QDialog* m_information = nullptr;
    QPlainTextEdit* m_informationText = nullptr;
    bool m_running = false;
    bool m_stopPressed = false;
};
