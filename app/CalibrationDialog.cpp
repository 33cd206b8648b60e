#include "CalibrationDialog.h"

#include "QtPlatform.h"
#include "process/DspApp.h"
#include "soundio/SoundIOView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <utility>

namespace {
QComboBox* List(const QStringList& items, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->addItems(items);
    return combo;
}
void Select(QComboBox* combo, const std::string& text) {
    const int index = combo->findText(QString::fromStdString(text), Qt::MatchExactly);
    if (index >= 0) combo->setCurrentIndex(index);
}
std::string Std(const QLineEdit* edit) {
    return edit->text().toStdString();
}
int Whole(const QLineEdit* edit, int fallback) {
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

/** "Please Enter Measured Input Levels": the meter's readings at the two inputs. */
class CLevelInputDialog final : public QDialog {
public:
    CLevelInputDialog(const CCalibrationLevelInput& shown, QWidget* parent) : QDialog(parent) {
        setWindowTitle("Please Enter Measured Input Levels");
        auto* form = new QFormLayout(this);
        const double values[2] = {shown.ch1, shown.ch2};
        for (int c = 0; c < 2; ++c) {
            m_levels[c] = new QDoubleSpinBox(this);
            m_levels[c]->setDecimals(6);
            m_levels[c]->setRange(CCalibrationLevelInput::kMin, CCalibrationLevelInput::kMax);
            m_levels[c]->setValue(values[c]);
            form->addRow(c == 0 ? "Channel 1 Level:" : "Channel 2 Level:", m_levels[c]);
        }
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        form->addRow(buttons);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    }
    CCalibrationLevelInput Levels() const { return {m_levels[0]->value(), m_levels[1]->value()}; }

private:
    std::array<QDoubleSpinBox*, 2> m_levels{};
};
} // namespace

CCalibrationDialog::CCalibrationDialog(CDspApp& app, CSoundIOView& owner, QWidget* parent)
    : QDialog(parent), m_session(app, owner, MakeHost()) {
    setWindowTitle("SoundIO Module Calibration");
    // The records scroll; the bars, the status and the buttons stay in view on a small screen.
    auto* outer = new QVBoxLayout(this);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* records = new QWidget(scroll);
    auto* layout = new QVBoxLayout(records);
    layout->setContentsMargins(0, 0, 0, 0);
    scroll->setWidget(records);
    outer->addWidget(scroll, 1);
    auto* top = new QFormLayout;
    m_file = new QLineEdit(this);
    m_calSel = List({"Auto", "Input", "Latency", "Frequency"}, this);
    m_measSel = List({"Vpeak", "Vrms"}, this);
    m_freqType = List({"Pulse", "Cross Corr.", "MLS"}, this);
    top->addRow("File:", m_file);
    top->addRow("Calibration Type Select", m_calSel);
    top->addRow("Input Cal. Meas. Type Sel:", m_measSel);
    top->addRow("Freq. Cal. Type Sel:", m_freqType);
    layout->addLayout(top);

    auto* channels = new QHBoxLayout;
    channels->addWidget(MakeChannel(0));
    channels->addWidget(MakeChannel(1));
    layout->addLayout(channels);
    layout = outer;

    m_progress = new QProgressBar(this);
    m_progress->setValue(0);
    layout->addWidget(m_progress);
    auto* bars = new QHBoxLayout;
    for (QProgressBar*& bar : m_levelBars) {
        bar = new QProgressBar(this);
        bar->setRange(0, 100);
        bar->setValue(0);
        bars->addWidget(bar);
    }
    layout->addLayout(bars);
    auto* statusRow = new QFormLayout;
    m_status = new QLabel(this);
    statusRow->addRow("Calibration Status:", m_status);
    layout->addLayout(statusRow);

    // Two rows, so the dialog fits a small screen: the record's commands, then the run's.
    auto* fileRow = new QHBoxLayout;
    auto* row = new QHBoxLayout;
    const auto refill = [this](auto action) {
        return [this, action] {
            TakeControls();
            action();
            FillControls();
        };
    };
    AddButton(fileRow, "New", refill([this] { m_session.New(); }));
    AddButton(fileRow, "Open", refill([this] { m_session.OpenFile(); }));
    AddButton(fileRow, "Save", refill([this] { m_session.SaveFile(); }));
    AddButton(fileRow, "Cut", refill([this] { m_session.Cut(); }));
    AddButton(fileRow, "Copy", refill([this] { m_session.Copy(); }));
    AddButton(fileRow, "Paste", refill([this] { m_session.Paste(); }));
    AddButton(row, "Run", [this] { OnRun(); });
    AddButton(row, "Stop", refill([this] { m_session.Stop(); }));
    AddButton(row, "Open Mixer", [this, &owner] {
        std::string message;
        owner.SetControl("openmixer", "", message);
        m_mixerButton->setText(owner.HasMixerWindow() ? "Close Mixer" : "Open Mixer");
    });
    m_mixerButton = Button("Open Mixer");
    row->addStretch();
    AddButton(row, "OK", [this] { accept(); });
    AddButton(row, "Cancel", [this] { reject(); });
    layout->addLayout(fileRow);
    layout->addLayout(row);
    // As large as the records want, as far as the screen allows; beyond, they scroll.
    const int margins = outer->contentsMargins().left() + outer->contentsMargins().right();
    const QSize wanted(records->sizeHint().width() + margins +
                           scroll->verticalScrollBar()->sizeHint().width(),
                       sizeHint().height() + records->sizeHint().height());
    resize(FitToScreen(QRect(QPoint(), wanted), parent ? *parent : *this).size());

    for (QComboBox* list : {m_calSel, m_measSel, m_freqType})
        connect(list, &QComboBox::currentIndexChanged, this, [this] {
            if (m_running) return;
            TakeControls();
            m_session.ControlChanged();
        });
}

CCalibrationHost CCalibrationDialog::MakeHost() {
    CCalibrationHost host;
    host.stopRequested = [this] {
        QApplication::processEvents(); // paints the bars, and lets "Stop" be clicked
        return std::exchange(m_stopPressed, false);
    };
    host.progress = [this](int value, int max) {
        m_progress->setRange(0, max);
        m_progress->setValue(value);
    };
    host.levels = [this](int ch1, int ch2) {
        m_levelBars[0]->setValue(ch1);
        m_levelBars[1]->setValue(ch2);
    };
    host.status = [this](const std::string& status) {
        m_status->setText(QString::fromStdString(status));
    };
    host.information = [this](const std::string& text) { ShowInformation(text); };
    host.askLevels = [this](const CCalibrationLevelInput& shown) { return AskLevels(shown); };
    return host;
}

QWidget* CCalibrationDialog::MakeChannel(int channel) {
    CChannelControls& c = m_channels[size_t(channel)];
    auto* box = new QGroupBox(QString("Channel %1").arg(channel + 1), this);
    auto* column = new QVBoxLayout(box);
    const auto edit = [box](QFormLayout* form, const char* label, bool readOnly) {
        auto* e = new QLineEdit(box);
        e->setReadOnly(readOnly);
        form->addRow(label, e);
        return e;
    };
    auto* levels = new QGroupBox("Input Signal Levels", box);
    auto* lf = new QFormLayout(levels);
    c.detected = new QLabel(levels);
    lf->addRow("Detected Level (%FS):", c.detected);
    c.level = edit(lf, "Level:", false);
    c.trigger = edit(lf, "Trigger:", false);
    c.offset = edit(lf, "Offset:", false);
    c.mixer = edit(lf, "Mixer:", false);
    c.source = edit(lf, "Source:", false);
    c.gain = edit(lf, "Gain:", false);
    c.destination = edit(lf, "Destination:", false);
    c.levelApply = new QCheckBox("Apply", levels);
    lf->addRow(c.levelApply);
    auto* latency = new QGroupBox("Latency", box);
    auto* tf = new QFormLayout(latency);
    c.latencyOut = edit(tf, "Output Device:", false);
    c.latencyIn = edit(tf, "Input Device:", false);
    c.latency = edit(tf, "Latency Time:", false);
    auto* frequency = new QGroupBox("Frequency Response", box);
    auto* ff = new QFormLayout(frequency);
    c.freqOut = edit(ff, "Output Device:", false);
    c.freqIn = edit(ff, "Input Device:", false);
    c.freqType = edit(ff, "Calibration Type:", false);
    c.freqApply = new QCheckBox("Apply", frequency);
    ff->addRow(c.freqApply);
    for (QCheckBox* apply : {c.levelApply, c.freqApply})
        connect(apply, &QCheckBox::toggled, this, [this] {
            if (m_running) return;
            TakeControls();
            m_session.ControlChanged();
        });
    column->addWidget(levels);
    column->addWidget(latency);
    column->addWidget(frequency);
    return box;
}

void CCalibrationDialog::AddButton(QLayout* row, const QString& text,
                                   std::function<void()> handler) {
    auto* button = new QPushButton(text, this);
    button->setAutoDefault(false);
    row->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, handler = std::move(handler)] {
        // While a procedure runs, any button stops it first; it acts once the run has ended.
        if (m_running) {
            m_stopPressed = true;
            return;
        }
        handler();
    });
}

QPushButton* CCalibrationDialog::Button(const QString& text) const {
    for (QPushButton* button : findChildren<QPushButton*>())
        if (button->text() == text) return button;
    return nullptr;
}

QString CCalibrationDialog::Status() const {
    return m_status->text();
}

bool CCalibrationDialog::Open() {
    if (!m_session.Open()) return false;
    FillControls();
    return true;
}

void CCalibrationDialog::FillControls() {
    const CCalibration* record = m_session.GetEdited();
    if (!record) return;
    const QSignalBlocker blocks[] = {QSignalBlocker(m_calSel), QSignalBlocker(m_measSel),
                                     QSignalBlocker(m_freqType)};
    m_file->setText(QString::fromStdString(record->PathName));
    Select(m_calSel, record->CalSel);
    Select(m_measSel, record->MeasSel);
    Select(m_freqType, record->FreqCalTypeSel);
    for (int ch = 0; ch < 2; ++ch) {
        CChannelControls& c = m_channels[size_t(ch)];
        const CLevelCal& level = record->Level[ch];
        const CLatencyCal& latency = record->Latency[ch];
        const CFreqCal& freq = record->Freq[ch];
        const QSignalBlocker applyBlocks[] = {QSignalBlocker(c.levelApply),
                                              QSignalBlocker(c.freqApply)};
        c.detected->setText(QString::number(level.PeakSampleLevel));
        c.level->setText(QString::number(level.UserInputLevel, 'g', 10));
        c.trigger->setText(QString::number(level.TriggerLevel));
        c.offset->setText(QString::number(level.TriggerOffset));
        c.mixer->setText(QString::fromStdString(level.MixerName));
        c.source->setText(QString::fromStdString(level.MixerSource));
        c.gain->setText(QString::number(level.Gain));
        c.destination->setText(QString::fromStdString(level.MixerDestination));
        c.levelApply->setChecked(level.InputLevelCalApply);
        c.latencyOut->setText(QString::fromStdString(latency.LatencyOutputDeviceName));
        c.latencyIn->setText(QString::fromStdString(latency.LatencyInputDeviceName));
        c.latency->setText(QString::fromStdString(latency.LatencyParams));
        c.freqOut->setText(QString::fromStdString(freq.FreqOutputDeviceName));
        c.freqIn->setText(QString::fromStdString(freq.FreqInputDeviceName));
        c.freqType->setText(QString::fromStdString(freq.FreqCalParams));
        c.freqApply->setChecked(freq.FreqCalApply);
    }
}

void CCalibrationDialog::TakeControls() {
    CCalibration* record = m_session.GetEdited();
    if (!record) return;
    record->PathName = Std(m_file);
    record->CalSel = m_calSel->currentText().toStdString();
    record->MeasSel = m_measSel->currentText().toStdString();
    record->FreqCalTypeSel = m_freqType->currentText().toStdString();
    for (int ch = 0; ch < 2; ++ch) {
        const CChannelControls& c = m_channels[size_t(ch)];
        CLevelCal& level = record->Level[ch];
        bool ok = false;
        const double user = c.level->text().trimmed().toDouble(&ok);
        if (ok) level.UserInputLevel = user;
        level.TriggerLevel = Whole(c.trigger, level.TriggerLevel);
        level.TriggerOffset = Whole(c.offset, level.TriggerOffset);
        level.MixerName = Std(c.mixer);
        level.MixerSource = Std(c.source);
        level.Gain = Whole(c.gain, level.Gain);
        level.MixerDestination = Std(c.destination);
        level.InputLevelCalApply = c.levelApply->isChecked();
        record->Latency[ch].LatencyOutputDeviceName = Std(c.latencyOut);
        record->Latency[ch].LatencyInputDeviceName = Std(c.latencyIn);
        record->Latency[ch].LatencyParams = Std(c.latency);
        record->Freq[ch].FreqOutputDeviceName = Std(c.freqOut);
        record->Freq[ch].FreqInputDeviceName = Std(c.freqIn);
        record->Freq[ch].FreqCalParams = Std(c.freqType);
        record->Freq[ch].FreqCalApply = c.freqApply->isChecked();
    }
}

void CCalibrationDialog::OnRun() {
    TakeControls();
    m_running = true;
    m_stopPressed = false;
    m_session.Run();
    m_running = false;
    FillControls();
}

std::optional<CCalibrationLevelInput>
CCalibrationDialog::AskLevels(const CCalibrationLevelInput& shown) {
    CLevelInputDialog dialog(shown, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Levels();
}

void CCalibrationDialog::ShowInformation(const std::string& text) {
    if (!m_information) {
        m_information = new QDialog(this);
        m_information->setWindowTitle("Calibration Information");
        m_information->setModal(false);
        m_informationText = new QPlainTextEdit(m_information);
        m_informationText->setReadOnly(true);
        (new QVBoxLayout(m_information))->addWidget(m_informationText);
    }
    m_informationText->appendPlainText(QString::fromStdString(text));
    m_information->show();
}

void CCalibrationDialog::accept() {
    if (m_running) {
        m_stopPressed = true;
        return;
    }
    TakeControls();
    m_session.OK();
    QDialog::accept();
}

void CCalibrationDialog::reject() {
    if (m_running) {
        m_stopPressed = true;
        return;
    }
    m_session.Cancel();
    QDialog::reject();
}
