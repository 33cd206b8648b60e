#include "FFTOptionsDialog.h"

#include "base/NumberText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>

namespace {
// The list selects the document's value when it offers it (an editable list shows any other).
QComboBox* Choices(const std::vector<int>& values, const std::string& current, bool editable,
                   QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(editable);
    for (int v : values)
        combo->addItem(QString::number(v));
    const QString text = QString::fromStdString(current).trimmed();
    const int index = combo->findText(text);
    if (index >= 0)
        combo->setCurrentIndex(index);
    else if (editable)
        combo->setEditText(text);
    return combo;
}
} // namespace

CFFTOptionsDialog::CFFTOptionsDialog(const CFFTOptions& options, const std::vector<int>& rates,
                                     QWidget* parent)
    : QDialog(parent), m_options(options) {
    setWindowTitle("FFT Options");
    m_size = Choices(CFFTOptions::SizeChoices(), options.m_size, false, this);
    m_rate = Choices(rates, options.m_sampleRate, true, this);
    m_resolution = new QLabel(QString::fromStdString(options.m_resolution), this);
    m_pauseOnRecord =
        Choices(CFFTOptions::PauseOnRecordChoices(), options.m_pauseOnRecord, false, this);
    m_pauseEvery = new QCheckBox("Pause On Every Module", this);
    m_pauseEvery->setChecked(options.m_pauseEveryModule);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* form = new QFormLayout(this);
    form->addRow("FFT Size:", m_size);
    form->addRow("Sample Rate:", m_rate);
    form->addRow("Resolution:", m_resolution);
    form->addRow("Pause On Record:", m_pauseOnRecord);
    form->addRow(m_pauseEvery);
    form->addRow(buttons);
    connect(m_size, &QComboBox::currentTextChanged, this, &CFFTOptionsDialog::UpdateResolution);
    connect(m_rate, &QComboBox::currentTextChanged, this, &CFFTOptionsDialog::UpdateResolution);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CFFTOptionsDialog::UpdateResolution() {
    const double size = ParseDouble(m_size->currentText().toStdString());
    const double rate = ParseDouble(m_rate->currentText().toStdString());
    m_resolution->setText(QString::fromStdString(CFFTOptions::ResolutionText(rate, size)));
}

CFFTOptions CFFTOptionsDialog::Options() const {
    CFFTOptions o = m_options;
    o.m_size = m_size->currentText().toStdString();
    o.m_sampleRate = m_rate->currentText().toStdString();
    o.m_resolution = m_resolution->text().toStdString();
    o.m_pauseOnRecord = m_pauseOnRecord->currentText().toStdString();
    o.m_pauseEveryModule = m_pauseEvery->isChecked();
    return o;
}
