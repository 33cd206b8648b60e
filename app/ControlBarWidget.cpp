#include "ControlBarWidget.h"

#include "process/DspView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace {
constexpr int kPairsPerRow = 4;

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}
} // namespace

CControlBarWidget::CControlBarWidget(CDspView& view,
                                     std::function<void(const std::string&)> refused,
                                     QWidget* parent)
    : QWidget(parent), m_view(view), m_refused(std::move(refused)) {
    Build();
    Refresh();
}

void CControlBarWidget::Apply(const std::string& id, const std::string& value) {
    if (m_refreshing) return;
    std::string message;
    if (m_view.SetControl(id, value, message))
        emit Changed();
    else if (m_refused)
        m_refused(message);
    Refresh(); // a module may change other controls, or refuse and keep the old state
}

void CControlBarWidget::Build() {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);
    const CControlModel& model = m_view.GetControls();
    int cell = 0;
    for (size_t i = 0; i < model.Count(); ++i) {
        const CControl& c = model.GetControl(i);
        const std::string id = c.id;
        QWidget* w = nullptr;
        bool labelled = true;
        switch (c.kind) {
        case EControlKind::ComboBox: {
            auto* combo = new QComboBox(this);
            for (const auto& item : c.items)
                combo->addItem(Text(item));
            // Items go by text: an item such as "2" must not be read as index 2.
            connect(combo, &QComboBox::activated, this, [this, id, combo](int index) {
                Apply(id, combo->itemText(index).toStdString());
            });
            w = combo;
            break;
        }
        case EControlKind::PushButton: {
            auto* button = new QPushButton(Text(c.label), this);
            connect(button, &QPushButton::clicked, this, [this, id] { Apply(id, ""); });
            w = button;
            labelled = false;
            break;
        }
        case EControlKind::Edit: {
            auto* edit = new QLineEdit(this);
            connect(edit, &QLineEdit::editingFinished, this,
                    [this, id, edit] { Apply(id, edit->text().toStdString()); });
            w = edit;
            break;
        }
        case EControlKind::Spin: {
            auto* spin = new QSpinBox(this);
            spin->setRange(c.minimum, c.maximum);
            connect(spin, &QSpinBox::editingFinished, this,
                    [this, id, spin] { Apply(id, std::to_string(spin->value())); });
            w = spin;
            break;
        }
        case EControlKind::CheckBox: {
            auto* check = new QCheckBox(Text(c.label), this);
            connect(check, &QCheckBox::clicked, this,
                    [this, id](bool on) { Apply(id, on ? "1" : "0"); });
            w = check;
            labelled = false;
            break;
        }
        case EControlKind::RadioGroup: {
            auto* box = new QWidget(this);
            auto* row = new QHBoxLayout(box);
            row->setContentsMargins(0, 0, 0, 0);
            auto* group = new QButtonGroup(box);
            for (size_t k = 0; k < c.items.size(); ++k) {
                auto* radio = new QRadioButton(Text(c.items[k]), box);
                group->addButton(radio, int(k));
                row->addWidget(radio);
            }
            const auto items = c.items;
            connect(group, &QButtonGroup::idClicked, this,
                    [this, id, items](int k) { Apply(id, items[size_t(k)]); });
            w = box;
            break;
        }
        case EControlKind::ReadOnlyText:
            w = new QLabel(this);
            break;
        }
        const int row = cell / kPairsPerRow;
        const int column = (cell % kPairsPerRow) * 2;
        if (labelled && !c.label.empty()) {
            auto* label = new QLabel(Text(c.label), this);
            label->setBuddy(w);
            grid->addWidget(label, row, column, Qt::AlignRight);
        }
        grid->addWidget(w, row, column + 1);
        m_widgets.push_back(w);
        ++cell;
    }
}

void CControlBarWidget::Refresh() {
    m_refreshing = true;
    const CControlModel& model = m_view.GetControls();
    for (size_t i = 0; i < model.Count() && i < m_widgets.size(); ++i) {
        const CControl& c = model.GetControl(i);
        const CControlState& s = model.GetState(i);
        QWidget* w = m_widgets[i];
        const QSignalBlocker block(w);
        w->setEnabled(s.enabled);
        switch (c.kind) {
        case EControlKind::ComboBox:
            static_cast<QComboBox*>(w)->setCurrentIndex(s.selection);
            break;
        case EControlKind::Edit:
            if (!static_cast<QLineEdit*>(w)->hasFocus())
                static_cast<QLineEdit*>(w)->setText(Text(s.text));
            break;
        case EControlKind::Spin:
            static_cast<QSpinBox*>(w)->setValue(QString::fromStdString(s.text).toInt());
            break;
        case EControlKind::CheckBox:
            static_cast<QCheckBox*>(w)->setChecked(s.checked);
            break;
        case EControlKind::RadioGroup:
            if (auto* group = w->findChild<QButtonGroup*>())
                if (auto* b = group->button(s.selection)) b->setChecked(true);
            break;
        case EControlKind::ReadOnlyText:
            static_cast<QLabel*>(w)->setText(Text(s.text));
            break;
        case EControlKind::PushButton:
            if (!s.text.empty()) static_cast<QPushButton*>(w)->setText(Text(s.text));
            break;
        }
    }
    m_refreshing = false;
}
