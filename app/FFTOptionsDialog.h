#pragma once
// "FFT Options": block size, sample rate, pause settings of a process document.

#include "process/DspDoc.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;

class CFFTOptionsDialog final : public QDialog {
    Q_OBJECT
public:
    /** Filled from the options, offering `rates` (Hz); Options() gives what the user chose. */
    CFFTOptionsDialog(const CFFTOptions& options, const std::vector<int>& rates,
                      QWidget* parent = nullptr);
    CFFTOptions Options() const;

private:
    void UpdateResolution();

    CFFTOptions m_options;
    QComboBox* m_size;
    QComboBox* m_rate;
    QLabel* m_resolution;
    QComboBox* m_pauseOnRecord;
    QCheckBox* m_pauseEvery;
};
