#pragma once
// A module's control bar described as data. The GUI renders it, the command line and tests set
// controls by id or label, and all of them go through SetFromText, so a control behaves the
// same everywhere. The model only records states; the module acts on the id it returns.

#include <climits>
#include <string>
#include <vector>

enum class EControlKind { ComboBox, PushButton, Edit, Spin, CheckBox, RadioGroup, ReadOnlyText };

struct CControl {
    std::string id; // stable short text, such as "window"
    EControlKind kind = EControlKind::Edit;
    std::string label;              // as shown, with '&' before the mnemonic, such as "&Window:"
    std::vector<std::string> items; // choices of a combo box or radio group, in order
    int minimum = INT_MIN;          // range of a spin control
    int maximum = INT_MAX;
    bool numeric = false; // an edit that holds a decimal number
    // Presentation only: the titled unit the bar shows this control in (such as "XAxis:" or
    // "Trigger Parameters"; empty for none) and the hover text saying what it changes.
    std::string group{};
    std::string tooltip{};
    // Presentation only: the caption a push button is shown after ("Audio Mixer:"), since a
    // button's label is the text on its face.
    std::string caption{};
};

struct CControlState {
    std::string text;   // edit and spin text; the chosen item's text for a combo box or radio group
    int selection = -1; // chosen item index of a combo box or radio group, -1 for none
    bool enabled = true;
    bool checked = false;
    bool operator==(const CControlState&) const = default;
};

class CControlModel {
public:
    /** Appends a control; false, adding nothing, when its id is empty or already used. */
    bool Add(const CControl& control, const CControlState& state = {});

    size_t Count() const { return m_entries.size(); }
    const CControl& GetControl(size_t index) const { return m_entries[index].control; }
    const CControlState& GetState(size_t index) const { return m_entries[index].state; }

    /** The index of the control with this id, or else of the one control whose id or label
     *  matches without regard to case, '&' and a trailing ':'; -1 when there is none or more
     *  than one. */
    int Find(const std::string& idOrLabel) const;

    /** Direct access by exact id for the module that owns the bar; null when there is none. */
    CControl* ControlById(const std::string& id);
    CControlState* StateById(const std::string& id);

    /** Applies a user's text to a control: a combo box or radio group takes an item text
     *  (exact, then without regard to case) or a 0-based index written "#3" (a plain "3" is
     *  an index only in a list without numbers among its items); a check box takes 1, 0, true,
     *  false, on or off; an edit takes the text (`strict`: a numeric edit only a whole decimal
     *  number, as the command line asks); a spin takes a whole number in its range; a push
     *  button is pressed whatever the text. Returns the control's id, or an empty text with a
     *  message and no change when the control is not found, is disabled or read-only, or the
     *  text does not fit it. */
    std::string SetFromText(const std::string& idOrLabel, const std::string& value,
                            std::string& message, bool strict = false);

    /** A label as named in messages: without '&' and a trailing ':'. */
    static std::string DisplayName(const std::string& label);

private:
    struct CEntry {
        CControl control;
        CControlState state;
    };
    int Resolve(const std::string& idOrLabel, std::string& message) const;
    std::string NameOf(const CControl& control) const;

    std::vector<CEntry> m_entries;
};
