#include "ControlBarWidget.h"

#include "FlowLayout.h"
#include "process/DspView.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include <algorithm>

namespace {
// Edits are as wide as this many digits, or their text when longer, plus room for the frame
// and the cursor.
constexpr int kEditDigits = 12;
constexpr int kEditPadding = 14;

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

QString Name(const std::string& label) {
    return Text(CControlModel::DisplayName(label));
}

bool IsStep(const CControl& c, const char* label) {
    return c.kind == EControlKind::PushButton && c.label == label;
}

// The hover text of a control: the module's own, or what a bare arrow does.
QString Tip(const CControl& c, const QString& caption) {
    if (!c.tooltip.empty()) return Text(c.tooltip);
    if (IsStep(c, "Dn")) return caption.isEmpty() ? "Step down" : caption + ": step down";
    if (IsStep(c, "Up")) return caption.isEmpty() ? "Step up" : caption + ": step up";
    return {};
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
    emit Applying();
    std::string message;
    if (m_view.SetControl(id, value, message))
        emit Changed();
    else if (m_refused)
        m_refused(message);
    Refresh(); // a module may change other controls, or refuse and keep the old state
}

void CControlBarWidget::Build() {
    const CControlModel& model = m_view.GetControls();
    m_widgets.assign(model.Count(), nullptr);
    m_labels.assign(model.Count(), nullptr);
    auto* flow = new CFlowLayout(this, 10, 4);
    flow->setContentsMargins(4, 3, 4, 3);
    for (size_t first = 0; first < model.Count();) {
        const std::string& group = model.GetControl(first).group;
        size_t last = first + 1;
        while (last < model.Count() && model.GetControl(last).group == group)
            ++last;
        std::vector<std::pair<size_t, size_t>> units; // first control, length
        for (size_t k = first; k < last; k += units.back().second)
            units.emplace_back(k, UnitLength(model, k, last));
        const QString title = Name(group);
        if (title.isEmpty()) {
            for (const auto& [k, length] : units)
                flow->addWidget(MakeUnit(k, length, title, this));
        } else if (units.size() > 2) {
            auto* box = new QGroupBox(title, this);
            auto* inner = new CFlowLayout(box, 8, 3);
            inner->setContentsMargins(4, 2, 4, 3);
            for (const auto& [k, length] : units)
                inner->addWidget(MakeUnit(k, length, title, box));
            flow->addWidget(box);
        } else {
            // A small group reads as one control: its title, then its units ("T/Div ◀ ▶").
            auto* line = new QWidget(this);
            auto* row = new QHBoxLayout(line);
            row->setContentsMargins(0, 0, 0, 0);
            row->setSpacing(4);
            auto* caption = new QLabel(title, line);
            QFont bold = caption->font();
            bold.setBold(true);
            caption->setFont(bold);
            row->addWidget(caption);
            for (const auto& [k, length] : units)
                row->addWidget(MakeUnit(k, length, title, line));
            flow->addWidget(line);
        }
        first = last;
    }
}

size_t CControlBarWidget::UnitLength(const CControlModel& model, size_t first, size_t last) const {
    auto at = [&](size_t k) -> const CControl* {
        return k < last ? &model.GetControl(k) : nullptr;
    };
    const CControl& c = *at(first);
    const CControl* next = at(first + 1);
    const CControl* after = at(first + 2);
    // "Dn", value, "Up": the value with its pair.
    if (IsStep(c, "Dn") && next && next->kind == EControlKind::ReadOnlyText && after &&
        IsStep(*after, "Up"))
        return 3;
    if (IsStep(c, "Dn") && next && IsStep(*next, "Up")) return 2;
    // An entry followed by an unlabelled text: the text is its unit ("Ref1: 1000 Hz").
    const bool entry = c.kind == EControlKind::Edit || c.kind == EControlKind::Spin ||
                       c.kind == EControlKind::ComboBox;
    if (entry && next && next->kind == EControlKind::ReadOnlyText && next->label.empty()) return 2;
    return 1;
}

QWidget* CControlBarWidget::MakeUnit(size_t first, size_t length, const QString& groupTitle,
                                     QWidget* parent) {
    const CControlModel& model = m_view.GetControls();
    auto* unit = new QWidget(parent);
    auto* row = new QHBoxLayout(unit);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(3);
    // A value between its "Dn" and "Up" comes first, then the pair: "Start: 0Hz ◀ ▶".
    std::vector<size_t> order;
    for (size_t k = first; k < first + length; ++k)
        order.push_back(k);
    if (length == 3 && IsStep(model.GetControl(first), "Dn")) order = {first + 1, first, first + 2};

    QString caption = groupTitle;
    for (size_t k : order) {
        const CControl& c = model.GetControl(k);
        const bool labelled = c.kind != EControlKind::PushButton &&
                              c.kind != EControlKind::CheckBox && !c.label.empty();
        if (labelled) caption = Name(c.label);
        if (!labelled && !c.caption.empty()) caption = Name(c.caption);
        QWidget* w = MakeControl(k, unit);
        // No caption where the group's title already says it.
        const std::string& shown = labelled ? c.label : c.caption;
        if (!shown.empty() && Name(shown) != groupTitle) {
            auto* label = new QLabel(Text(shown), unit);
            label->setBuddy(w);
            label->setToolTip(Tip(c, caption));
            row->addWidget(label);
            m_labels[k] = label;
        }
        w->setToolTip(Tip(c, caption));
        row->addWidget(w);
    }
    return unit;
}

QWidget* CControlBarWidget::MakeControl(size_t index, QWidget* parent) {
    const CControl& c = m_view.GetControls().GetControl(index);
    const std::string id = c.id;
    QWidget* w = nullptr;
    switch (c.kind) {
    case EControlKind::ComboBox: {
        auto* combo = new QComboBox(parent);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        for (const auto& item : c.items)
            combo->addItem(Text(item));
        // Items go by text: an item such as "2" must not be read as index 2.
        connect(combo, &QComboBox::activated, this,
                [this, id, combo](int i) { Apply(id, combo->itemText(i).toStdString()); });
        w = combo;
        break;
    }
    case EControlKind::PushButton:
        if (IsStep(c, "Dn") || IsStep(c, "Up")) {
            auto* arrow = new QToolButton(parent);
            arrow->setText(Text(c.label));
            arrow->setArrowType(IsStep(c, "Dn") ? Qt::LeftArrow : Qt::RightArrow);
            connect(arrow, &QToolButton::clicked, this, [this, id] { Apply(id, ""); });
            w = arrow;
        } else {
            auto* button = new QPushButton(Text(c.label), parent);
            connect(button, &QPushButton::clicked, this, [this, id] { Apply(id, ""); });
            w = button;
        }
        break;
    case EControlKind::Edit: {
        auto* edit = new QLineEdit(parent);
        connect(edit, &QLineEdit::editingFinished, this,
                [this, id, edit] { Apply(id, edit->text().toStdString()); });
        w = edit;
        break;
    }
    case EControlKind::Spin: {
        auto* spin = new QSpinBox(parent);
        spin->setRange(c.minimum, c.maximum);
        connect(spin, &QSpinBox::editingFinished, this,
                [this, id, spin] { Apply(id, std::to_string(spin->value())); });
        w = spin;
        break;
    }
    case EControlKind::CheckBox: {
        auto* check = new QCheckBox(Text(c.label), parent);
        connect(check, &QCheckBox::clicked, this,
                [this, id](bool on) { Apply(id, on ? "1" : "0"); });
        w = check;
        break;
    }
    case EControlKind::RadioGroup: {
        auto* box = new QWidget(parent);
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
        w = new QLabel(parent);
        break;
    }
    m_widgets[index] = w;
    return w;
}

void CControlBarWidget::Refresh() {
    m_refreshing = true;
    std::vector<QWidget*> grown;
    const CControlModel& model = m_view.GetControls();
    for (size_t i = 0; i < model.Count() && i < m_widgets.size(); ++i) {
        const CControl& c = model.GetControl(i);
        const CControlState& s = model.GetState(i);
        QWidget* w = m_widgets[i];
        const QSignalBlocker block(w);
        w->setEnabled(s.enabled);
        if (m_labels[i]) m_labels[i]->setEnabled(s.enabled);
        switch (c.kind) {
        case EControlKind::ComboBox: {
            auto* combo = static_cast<QComboBox*>(w);
            // Lists such as the device names change after the bar is built.
            QStringList items;
            for (const auto& item : c.items)
                items << Text(item);
            QStringList shown;
            for (int k = 0; k < combo->count(); ++k)
                shown << combo->itemText(k);
            if (shown != items) {
                combo->clear();
                combo->addItems(items);
            }
            combo->setCurrentIndex(s.selection);
            break;
        }
        case EControlKind::Edit: {
            auto* edit = static_cast<QLineEdit*>(w);
            if (!edit->hasFocus()) edit->setText(Text(s.text));
            // Wide enough for its number and no wider, so more fits on a row.
            const QFontMetrics metrics = edit->fontMetrics();
            const int digits = metrics.horizontalAdvance(QString(kEditDigits, '0'));
            edit->setFixedWidth(std::max(digits, metrics.horizontalAdvance(edit->text())) +
                                kEditPadding);
            break;
        }
        case EControlKind::Spin:
            // The bar refreshes while a run goes on: a value being typed stays.
            if (!w->hasFocus())
                static_cast<QSpinBox*>(w)->setValue(QString::fromStdString(s.text).toInt());
            break;
        case EControlKind::CheckBox:
            static_cast<QCheckBox*>(w)->setChecked(s.checked);
            break;
        case EControlKind::RadioGroup:
            if (auto* group = w->findChild<QButtonGroup*>())
                if (auto* b = group->button(s.selection)) b->setChecked(true);
            break;
        case EControlKind::ReadOnlyText: {
            static_cast<QLabel*>(w)->setText(Text(s.text));
            // A text such as "Channel:1" names itself; its caption would say it twice.
            if (m_labels[i]) m_labels[i]->setVisible(!Text(s.text).startsWith(Name(c.label)));
            break;
        }
        case EControlKind::PushButton:
            if (!s.text.empty()) static_cast<QAbstractButton*>(w)->setText(Text(s.text));
            break;
        }
        // A readout, a button's text or a list's items may have outgrown the control.
        if (w->isVisible() && w->sizeHint().width() > w->width()) grown.push_back(w);
    }
    m_refreshing = false;
    for (QWidget* w : grown)
        Widen(w);
}

void CControlBarWidget::Widen(QWidget* control) {
    // Each layout from the control's up to the bar's takes the new size now, rather than one
    // event-loop turn per level later: a readout is never shown cut.
    for (QWidget* p = control->parentWidget(); p; p = p->parentWidget()) {
        if (p->layout()) p->layout()->activate();
        if (p == this) break;
    }
}
