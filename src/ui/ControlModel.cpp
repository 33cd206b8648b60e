#include "ui/ControlModel.h"
#include "ui/CheckText.h"

#include "base/NumberText.h"
#include "base/PlainText.h"

#include <algorithm>

namespace {

std::string Trim(std::string_view s) {
    return std::string(TrimBlanks(s));
}

// The form in which ids and labels are compared with what a user typed.
std::string MatchKey(const std::string& text) {
    return LowerAscii(CControlModel::DisplayName(text));
}

bool ParseIndex(const std::string& text, size_t count, int& index) {
    const std::string t = Trim(text);
    return !t.empty() &&
           std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           ParseWholeNumber(t, index) && static_cast<size_t>(index) < count;
}

// A list of numbers ("1", "2", "4", ...) would read "5" as the item at index 5.
bool HasNumericItems(const std::vector<std::string>& items) {
    return std::any_of(items.begin(), items.end(), [](const std::string& item) {
        const std::string t = Trim(item);
        const size_t digit = !t.empty() && (t[0] == '-' || t[0] == '+') ? 1 : 0;
        return digit < t.size() && t[digit] >= '0' && t[digit] <= '9';
    });
}

int FindItem(const std::vector<std::string>& items, const std::string& value) {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == value) return static_cast<int>(i);
    const std::string wanted = LowerAscii(Trim(value));
    for (size_t i = 0; i < items.size(); ++i)
        if (LowerAscii(items[i]) == wanted) return static_cast<int>(i);
    int index = -1;
    if (wanted.starts_with('#'))
        return ParseIndex(wanted.substr(1), items.size(), index) ? index : -1;
    if (HasNumericItems(items)) return -1;
    return ParseIndex(value, items.size(), index) ? index : -1;
}

std::string Join(const std::vector<std::string>& items) {
    std::string list;
    for (const std::string& item : items)
        list += (list.empty() ? "" : ", ") + item;
    return list;
}

} // namespace

bool ParseCheckText(const std::string& text, bool& checked) {
    const std::string t = LowerAscii(Trim(text));
    if (t == "1" || t == "true" || t == "on")
        checked = true;
    else if (t == "0" || t == "false" || t == "off")
        checked = false;
    else
        return false;
    return true;
}

std::string CControlModel::DisplayName(const std::string& label) {
    std::string name;
    std::copy_if(label.begin(), label.end(), std::back_inserter(name),
                 [](char c) { return c != '&'; });
    name = Trim(name);
    if (!name.empty() && name.back() == ':') name = Trim(name.substr(0, name.size() - 1));
    return name;
}

bool CControlModel::Add(const CControl& control, const CControlState& state) {
    if (control.id.empty() || ControlById(control.id) != nullptr) return false;
    m_entries.push_back({control, state});
    return true;
}

int CControlModel::Resolve(const std::string& idOrLabel, std::string& message) const {
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].control.id == idOrLabel) return static_cast<int>(i);
    const std::string key = MatchKey(idOrLabel);
    std::vector<size_t> matches;
    for (size_t i = 0; i < m_entries.size() && !key.empty(); ++i) {
        const CControl& c = m_entries[i].control;
        if (MatchKey(c.id) == key || MatchKey(c.label) == key) matches.push_back(i);
    }
    if (matches.size() == 1) return static_cast<int>(matches.front());
    if (matches.empty()) {
        message = "No control '" + idOrLabel + "'";
    } else {
        std::vector<std::string> ids;
        for (size_t i : matches)
            ids.push_back(m_entries[i].control.id);
        message = "'" + idOrLabel + "' names more than one control: " + Join(ids);
    }
    return -1;
}

int CControlModel::Find(const std::string& idOrLabel) const {
    std::string ignored;
    return Resolve(idOrLabel, ignored);
}

CControl* CControlModel::ControlById(const std::string& id) {
    for (CEntry& e : m_entries)
        if (e.control.id == id) return &e.control;
    return nullptr;
}

CControlState* CControlModel::StateById(const std::string& id) {
    for (CEntry& e : m_entries)
        if (e.control.id == id) return &e.state;
    return nullptr;
}

std::string CControlModel::NameOf(const CControl& control) const {
    const std::string name = DisplayName(control.label);
    return name.empty() ? control.id : name;
}

std::string CControlModel::SetFromText(const std::string& idOrLabel, const std::string& value,
                                       std::string& message, bool strict) {
    const int index = Resolve(idOrLabel, message);
    if (index < 0) return {};
    const CControl& control = m_entries[static_cast<size_t>(index)].control;
    CControlState& state = m_entries[static_cast<size_t>(index)].state;
    const std::string name = "'" + NameOf(control) + "'";
    if (!state.enabled) {
        message = name + " is disabled";
        return {};
    }
    switch (control.kind) {
    case EControlKind::ComboBox:
    case EControlKind::RadioGroup: {
        const int item = FindItem(control.items, value);
        if (item < 0) {
            message = "'" + value + "' is not an item of " + name +
                      (control.items.empty() ? "" : ": " + Join(control.items) + " (or #index)");
            return {};
        }
        state.selection = item;
        state.text = control.items[static_cast<size_t>(item)];
        break;
    }
    case EControlKind::CheckBox: {
        bool checked = false;
        if (!ParseCheckText(value, checked)) {
            message =
                "'" + value + "' is not a value for " + name + ": use 1, 0, true, false, on or off";
            return {};
        }
        state.checked = checked;
        break;
    }
    case EControlKind::Spin: {
        int number = 0;
        if (!ParseWholeNumber(value, number)) {
            message = "'" + value + "' is not a whole number for " + name;
            return {};
        }
        if (number < control.minimum || number > control.maximum) {
            message = "'" + value + "' is outside " + std::to_string(control.minimum) + " to " +
                      std::to_string(control.maximum) + " for " + name;
            return {};
        }
        state.text = std::to_string(number);
        break;
    }
    case EControlKind::Edit: {
        double number = 0.0;
        std::string reason;
        if (strict && control.numeric && !ParseExactNumber(value, number, reason)) {
            message = "'" + value + "' " + reason + " for " + name;
            return {};
        }
        state.text = value;
        break;
    }
    case EControlKind::PushButton:
        break;
    case EControlKind::ReadOnlyText:
        message = name + " is read-only";
        return {};
    }
    message.clear();
    return control.id;
}
