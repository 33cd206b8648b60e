#pragma once
// A module's settings, each described once as a row. A row says what the setting is called (its
// id, the label on the control bar, the label it is listed under, the bar's group and tooltip),
// which control shows it (its kind and items), how it is stored (its field type and the member
// it binds), which values it takes (its check) and what a user's change does (its handler).
// From the rows follow the control bar, the control states, the dispatch of a control's change,
// the settings listing, set-from-text, and storing, loading and checking a process file, so a
// setting cannot be written in one place and forgotten in another.
//
// How to use it:
//  - A module keeps one static CSettingRows<Module> and returns it from CDspView::Rows(); the
//    base then lists, sets, dispatches, updates and serialises through it. A module whose
//    settings live in several objects (a bar per channel) returns them from RowSets() instead,
//    each with its id and label prefixes ("ch1.", "Ch1 ").
//  - Rows are built with the named constructors and chained setters:
//      R::Combo("window", "Wnd:", "FFT", "The window applied").Bind(&V::m_window)
//          .Choice(&WindowNames, "window out of range").Listed("Window")
//    The stored fields are the rows with a field type, in row order; the bar shows the rows
//    that are not Stored, in row order; the listing holds the rows with an id and a listed
//    label, in row order.
//    Buttons and unbound read-only texts are not stored; a Stored row has no control.
//  - Without a handler, a combo box, check box or edit sets its bound value (an edit through
//    set-from-text, refusing what the check refuses) and the module refreshes. A handler of
//    its own returns true when the module should refresh; it refuses with CRowChange::Refuse.
//  - A setting added after files were saved with the record: Optional(default) keeps it out of
//    the record and in the process file's trailing settings record, keyed by the step and the
//    row's id, and only while its value differs from the default; files without it stay as
//    they were and open at the default. NeededToOpen() marks a value that a build not knowing
//    the row must refuse rather than skip (it changes what the step does, not how it looks).
//  - Layout variants: InLegacy(row) gives the row that stands in this row's place when an
//    archive in the legacy layout is read or written (another meaning, check or type).
//  - A module whose bar, listing and stored record each have an order of their own keeps the
//    rows in stored order and gives each shown or listed row its places: Places(bar, listed).
//  - Values travel as doubles, which hold every int32 exactly, or as text for String rows. A
//    joint check across rows sees the numbers in row order (0 for a text).
//  - Fixed-size arrays of texts or flags bind as list rows (a count, then the elements); a new
//    field type is a new EFieldType with its case in WriteValue and ReadValue.

#include "base/Archive.h"
#include "ui/ControlModel.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

class CDspView;

/** A setting as listed: the id `set` takes, the label and the value as text. */
struct CSettingValue {
    std::string id;
    std::string label;
    std::string value;
    bool operator==(const CSettingValue&) const = default;
};

// The text helpers every table shares (SettingRows.cpp).
bool SettingTextMatches(const std::string& a, const std::string& b);
std::string SettingItemsText(const std::vector<std::string>& items);
bool ParseSettingNumber(const std::string& text, double& value, std::string& reason);
std::string SettingNumberText(double value);

/** How a row is stored; None: not stored. */
enum class EFieldType { None, Int32, Double, UInt16, String, TextList, ByteList };
/** The control that shows a row; Stored: none. */
enum class ERowKind { Stored, Combo, Edit, NumberEdit, Spin, CheckBox, Button, Text, Radio };

/** A row's value while it travels between an archive, a check and the object. */
struct CRowValue {
    double number = 0.0;
    std::string text{};
    std::vector<std::string> texts{}; // a TextList
    std::vector<uint8_t> bytes{};     // a ByteList
    bool operator==(const CRowValue&) const = default;
};

/** A user's change of a row's control, as the row's handler sees it. */
struct CRowChange {
    CDspView& view;       // the module whose bar holds the control
    CControlState& state; // the control's new state; a handler may correct it
    bool refused = false;
    bool restore = true;
    std::string reason{};
    /** Refuses the change with the reason SetControl gives (empty: a general one); `restore`
     *  shows the stored value in the control again. */
    void Refuse(std::string why = {}, bool restoreControl = true) {
        refused = true;
        reason = std::move(why);
        restore = restoreControl;
    }
};

/** Where a set of rows sits among a module's settings: its id and label prefixes. */
struct CRowPrefix {
    std::string id{};
    std::string label{};
};

/** What a row set made of a control's change. */
enum class EChange { NotMine, Kept, Changed, Refused };
struct CChangeResult {
    EChange outcome = EChange::NotMine;
    std::string reason{};
};

/** An optional row's value as a process file keeps it: the row's id, the value in the row's
 *  field encoding, and whether a reader that does not know the id must refuse the file. */
struct COptionalSetting {
    std::string id{};
    std::vector<uint8_t> value{};
    bool needed = false;
    bool operator==(const COptionalSetting&) const = default;
};

/** A row set without its object type, as the base class walks it. */
class ISettingRows {
public:
    virtual ~ISettingRows() = default;
    virtual void AppendList(const CObject& object, const CRowPrefix& prefix,
                            std::vector<CSettingValue>& list) const = 0;
    /** Sets the listed row of this id from its text; nullopt when no row has it. */
    virtual std::optional<bool> SetListed(CObject& object, const CRowPrefix& prefix,
                                          const std::string& id, const std::string& text,
                                          std::string& message) const = 0;
    virtual void AddControls(const CObject& object, const CRowPrefix& prefix,
                             CControlModel& controls) const = 0;
    virtual void UpdateControls(const CObject& object, const CRowPrefix& prefix,
                                CControlModel& controls) const = 0;
    virtual CChangeResult Dispatch(CObject& object, const CRowPrefix& prefix, const std::string& id,
                                   CDspView& view, CControlModel& controls) const = 0;
    virtual void Store(CArchive& ar, const CObject& object) const = 0;
    /** Reads, checks and applies the stored rows; false (archive failed, object unchanged)
     *  when they cannot be read or are refused. */
    virtual bool Read(CArchive& ar, CObject& object) const = 0;
    /** Appends the optional rows whose values differ from their defaults. */
    virtual void AppendOptional(const CObject& object, const CRowPrefix& prefix,
                                std::vector<COptionalSetting>& list) const = 0;
    /** Sets every optional row to its default, then to its value in `stored` (the entries of
     *  other row sets are left alone); false with the reason for a value that is refused. */
    virtual bool ReadOptional(CObject& object, const CRowPrefix& prefix,
                              const std::vector<COptionalSetting>& stored,
                              std::string& message) const = 0;
    /** True when an optional row of this set has the id. */
    virtual bool HasOptional(const CRowPrefix& prefix, const std::string& id) const = 0;
};

/** A row set bound to the object whose members it reads and writes. */
struct CRowSet {
    const ISettingRows* rows;
    CObject* object;
    CRowPrefix prefix{};
};

template <class Object> struct CSettingRow {
    using Check_t = std::function<std::string(double)>;
    using Items_t = std::function<std::vector<std::string>(const Object&)>;
    using Text_t = std::function<std::string(const Object&)>;

    // The stored field.
    std::string id{};    // the control id, and the id `set` takes
    std::string label{}; // as listed; empty: not listed
    EFieldType type = EFieldType::Int32;
    std::function<double(const Object&)> get{};
    std::function<void(Object&, double)> set{};
    /** Empty when the object can hold the value, else the message that refuses it. */
    Check_t check{};
    /** A choice row: its items, the value being the index. */
    Items_t items{};
    /** The value as text when it is not a choice; null gives the number. */
    Text_t text{};
    // A String row's member.
    std::function<std::string(const Object&)> getText{};
    std::function<void(Object&, const std::string&)> setText{};
    // A list row's member.
    std::function<CRowValue(const Object&)> getList{};
    std::function<void(Object&, const CRowValue&)> setList{};

    // The control.
    ERowKind kind = ERowKind::Stored;
    std::string barLabel{}; // as shown, with '&' before the mnemonic; a button's face
    std::string group{};
    std::string tooltip{};
    std::string caption{}; // what a button is shown after ("Audio Mixer:")
    int minimum = INT_MIN; // a spin's range
    int maximum = INT_MAX;
    /** A user's change of the control; true when the module should refresh. */
    std::function<bool(Object&, CRowChange&)> onChange{};
    /** A user's set-from-text, instead of parsing, checking and setting the value. */
    std::function<bool(Object&, const std::string&, std::string&)> onText{};
    /** Control state beyond the value (enabled, a changing label), after the value's; an
     *  edit's hook writes the edit's text too (its own format, the user's spelling kept). */
    std::function<void(const Object&, CControl&, CControlState&)> show{};
    /** The row in this row's place in the legacy layout. */
    std::shared_ptr<const CSettingRow> legacy{};
    /** Stored apart from the record, while it differs from `byDefault`. */
    bool optional = false;
    bool needed = false;
    CRowValue byDefault{};
    /** Places on the bar and in the listing, for a module whose bar, listing and stored
     *  record each have an order of their own; -1: the row's place among the rows. */
    int barPlace = -1;
    int listPlace = -1;

    // ---- Named constructors ----
    static CSettingRow Control(ERowKind kind, std::string id, std::string barLabel,
                               std::string group, std::string tooltip) {
        CSettingRow row;
        row.id = std::move(id);
        row.type = EFieldType::None;
        row.kind = kind;
        row.barLabel = std::move(barLabel);
        row.group = std::move(group);
        row.tooltip = std::move(tooltip);
        return row;
    }
    static CSettingRow Combo(std::string id, std::string bar, std::string group, std::string tip) {
        return Control(ERowKind::Combo, std::move(id), std::move(bar), std::move(group),
                       std::move(tip));
    }
    static CSettingRow Button(std::string id, std::string bar, std::string group, std::string tip) {
        return Control(ERowKind::Button, std::move(id), std::move(bar), std::move(group),
                       std::move(tip));
    }
    static CSettingRow Text(std::string id, std::string bar, std::string group, std::string tip) {
        return Control(ERowKind::Text, std::move(id), std::move(bar), std::move(group),
                       std::move(tip));
    }
    /** A radio group: a choice whose items are all shown. */
    static CSettingRow Radio(std::string id, std::string bar, std::string group, std::string tip) {
        return Control(ERowKind::Radio, std::move(id), std::move(bar), std::move(group),
                       std::move(tip));
    }
    /** A setting without a control: stored, and listed when it has a label. */
    static CSettingRow Stored(std::string id, std::string label = {}) {
        CSettingRow row;
        row.id = std::move(id);
        row.label = std::move(label);
        return row;
    }

    // ---- Setters, chained ----
    CSettingRow& Listed(std::string listedLabel) {
        label = std::move(listedLabel);
        return *this;
    }
    template <class Base> CSettingRow& Bind(int32_t Base::*member) {
        return Access(
            EFieldType::Int32, [member](const Object& o) { return double(o.*member); },
            [member](Object& o, double x) { o.*member = int32_t(x); });
    }
    template <class Base> CSettingRow& Bind(double Base::*member) {
        return Access(
            EFieldType::Double, [member](const Object& o) { return o.*member; },
            [member](Object& o, double x) { o.*member = x; });
    }
    template <class Base> CSettingRow& Bind(std::string Base::*member) {
        type = EFieldType::String;
        getText = [member](const Object& o) { return o.*member; };
        setText = [member](Object& o, const std::string& s) { o.*member = s; };
        return *this;
    }
    /** A fixed number of texts, stored as a text list. A file's list of another length gives
     *  its first N texts, and empty ones for those it lacks. */
    template <class Base, size_t N> CSettingRow& Bind(std::array<std::string, N> Base::*member) {
        type = EFieldType::TextList;
        getList = [member](const Object& o) {
            return CRowValue{0.0, {}, {(o.*member).begin(), (o.*member).end()}, {}};
        };
        setList = [member](Object& o, const CRowValue& v) { Fill(o.*member, v.texts); };
        return *this;
    }
    /** A fixed number of flags, stored as a count and a byte each; as a text list otherwise. */
    template <class Base, size_t N> CSettingRow& Bind(std::array<uint8_t, N> Base::*member) {
        type = EFieldType::ByteList;
        getList = [member](const Object& o) {
            return CRowValue{0.0, {}, {}, {(o.*member).begin(), (o.*member).end()}};
        };
        setList = [member](Object& o, const CRowValue& v) { Fill(o.*member, v.bytes); };
        return *this;
    }
    /** A String row read and written through these, for a text that is not a member. */
    CSettingRow& AccessText(std::function<std::string(const Object&)> getter,
                            std::function<void(Object&, const std::string&)> setter) {
        type = EFieldType::String;
        getText = std::move(getter);
        setText = std::move(setter);
        return *this;
    }
    CSettingRow& Access(EFieldType fieldType, std::function<double(const Object&)> getter,
                        std::function<void(Object&, double)> setter) {
        type = fieldType;
        get = std::move(getter);
        set = std::move(setter);
        return *this;
    }
    CSettingRow& Check(Check_t refusal) {
        check = std::move(refusal);
        return *this;
    }
    CSettingRow& Items(Items_t list) {
        items = std::move(list);
        return *this;
    }
    /** Items from a fixed list, and a check that the index names one of them. */
    CSettingRow& Choice(std::vector<std::string> list, const std::string& message) {
        check = [n = double(list.size()), message](double v) {
            return v >= 0 && v <= n - 1 ? std::string() : message;
        };
        items = [list = std::move(list)](const Object&) { return list; };
        return *this;
    }
    CSettingRow& Choice(const std::vector<std::string>& (*list)(), const std::string& message) {
        return Choice(list(), message);
    }
    CSettingRow& Shown(Text_t valueText) {
        text = std::move(valueText);
        return *this;
    }
    CSettingRow& Range(int low, int high) {
        minimum = low;
        maximum = high;
        return *this;
    }
    /** The change handler: `bool(Object&)` or `bool(Object&, CRowChange&)`. */
    template <class F> CSettingRow& OnChange(F handler) {
        if constexpr (std::is_invocable_v<F, Object&, CRowChange&>)
            onChange = std::move(handler);
        else
            onChange = [handler](Object& o, CRowChange&) { return handler(o); };
        return *this;
    }
    CSettingRow& OnText(std::function<bool(Object&, const std::string&, std::string&)> handler) {
        onText = std::move(handler);
        return *this;
    }
    CSettingRow& Show(std::function<void(const Object&, CControl&, CControlState&)> hook) {
        show = std::move(hook);
        return *this;
    }
    CSettingRow& EnabledWhen(std::function<bool(const Object&)> enabled) {
        return Show(
            [enabled](const Object& o, CControl&, CControlState& s) { s.enabled = enabled(o); });
    }
    CSettingRow& InLegacy(CSettingRow row) {
        legacy = std::make_shared<const CSettingRow>(std::move(row));
        return *this;
    }
    /** Stores the row in the trailing settings record rather than the step's record. */
    CSettingRow& Optional(CRowValue defaultValue = {}) {
        optional = true;
        byDefault = std::move(defaultValue);
        return *this;
    }
    CSettingRow& NeededToOpen() {
        needed = true;
        return *this;
    }
    CSettingRow& Caption(std::string text) {
        caption = std::move(text);
        return *this;
    }
    CSettingRow& Places(int onBar, int listed) {
        barPlace = onBar;
        listPlace = listed;
        return *this;
    }

    bool IsStored() const { return type != EFieldType::None; }
    /** Stored in the step's record (not optional). */
    bool InRecord() const { return IsStored() && !optional; }
    bool IsList() const { return type == EFieldType::TextList || type == EFieldType::ByteList; }

private:
    template <class T, size_t N>
    static void Fill(std::array<T, N>& to, const std::vector<T>& from) {
        to = {};
        for (size_t i = 0; i < N && i < from.size(); ++i)
            to[i] = from[i];
    }

public:
    bool IsListed() const { return !id.empty() && !label.empty(); }
};

template <class Object> class CSettingRows : public ISettingRows {
public:
    using Row = CSettingRow<Object>;
    /** A check across rows (their numbers in row order): empty when the values fit together. */
    using Joint = std::function<std::string(const std::vector<double>&)>;

    CSettingRows(std::vector<Row> rows, Joint joint = {})
        : m_rows(std::move(rows)), m_joint(std::move(joint)) {}

    const std::vector<Row>& Rows() const { return m_rows; }

    // ---- Stored fields ----

    void Store(CArchive& ar, const Object& o, bool legacy) const {
        for (const Row& row : m_rows)
            if (row.InRecord()) WriteValue(ar, InLayout(row, legacy), o);
    }
    void Store(CArchive& ar, const Object& o) const { Store(ar, o, ar.IsLegacy()); }

    /** Reads and checks every stored row; the values, or none with the archive failed. */
    std::optional<std::vector<CRowValue>> Load(CArchive& ar) const {
        const bool legacy = ar.IsLegacy();
        std::vector<CRowValue> values;
        for (const Row& row : m_rows)
            if (row.InRecord()) values.push_back(ReadValue(ar, InLayout(row, legacy).type));
        if (!ar.Ok()) return std::nullopt;
        const std::string refusal = Check(values, legacy);
        if (!refusal.empty()) {
            ar.Fail(refusal);
            return std::nullopt;
        }
        return values;
    }

    /** The first refusal of the stored values, row by row and then together; empty when none. */
    std::string Check(const std::vector<CRowValue>& values, bool legacy = false) const {
        std::vector<double> numbers;
        size_t i = 0;
        for (const Row& stored : m_rows) {
            if (!stored.InRecord()) continue;
            const Row& row = InLayout(stored, legacy);
            const CRowValue& value = values[i++];
            numbers.push_back(value.number);
            if (!row.check) continue;
            std::string refusal = row.check(value.number);
            if (!refusal.empty()) return refusal;
        }
        return m_joint ? m_joint(numbers) : std::string();
    }

    void Apply(Object& o, const std::vector<CRowValue>& values, bool legacy = false) const {
        size_t i = 0;
        for (const Row& stored : m_rows) {
            if (!stored.InRecord()) continue;
            SetValue(InLayout(stored, legacy), o, values[i++]);
        }
    }

    std::vector<CRowValue> Values(const Object& o) const {
        std::vector<CRowValue> values;
        for (const Row& row : m_rows)
            if (row.InRecord()) values.push_back(ValueOf(row, o));
        return values;
    }

    // ---- Listing and set-from-text ----

    std::vector<CSettingValue> List(const Object& o, const CRowPrefix& prefix = {}) const {
        std::vector<CSettingValue> list;
        for (const Row* row : InOrder(&Row::listPlace))
            if (row->IsListed())
                list.push_back({prefix.id + row->id, prefix.label + row->label, TextOf(*row, o)});
        return list;
    }

    /** The listed row with this id (without regard to case), or null. SetControl finds a
     *  setting by its listed label and hands on its id. */
    const Row* Find(const std::string& id, const CRowPrefix& prefix = {}) const {
        for (const Row& row : m_rows)
            if (row.IsListed() && SettingTextMatches(prefix.id + row.id, id)) return &row;
        return nullptr;
    }

    /** Sets a row from the text the listing shows (an item of a choice, a text, else a
     *  decimal number), checked as a file's value is. False with the reason. */
    bool SetFromText(Object& o, const Row& row, const std::string& text,
                     std::string& reason) const {
        if (row.onText) return row.onText(o, text, reason);
        CRowValue value;
        if (row.type == EFieldType::String) {
            value.text = text;
        } else if (row.items) {
            const std::vector<std::string> items = row.items(o);
            size_t i = 0;
            while (i < items.size() && !SettingTextMatches(items[i], text))
                ++i;
            if (i == items.size()) {
                reason = "'" + text + "' is not one of " + SettingItemsText(items);
                return false;
            }
            value.number = double(i);
        } else if (!ParseSettingNumber(text, value.number, reason)) {
            reason = "'" + text + "' " + reason;
            return false;
        }
        if (!row.IsStored()) {
            reason = "'" + row.id + "' cannot be changed";
            return false;
        }
        if (row.optional) {
            reason = row.check ? row.check(value.number) : std::string();
            if (!reason.empty()) return false;
            SetValue(row, o, value);
            return true;
        }
        std::vector<CRowValue> values = Values(o);
        values[StoredIndex(row)] = value;
        reason = Check(values);
        if (!reason.empty()) return false;
        Apply(o, values);
        return true;
    }

    // ---- The control bar ----

    /** Adds the controls of the rows that have one, in the bar's order. */
    void AddControls(const Object& o, CControlModel& controls, const std::string& idPrefix) const {
        for (const Row* row : BarRows()) {
            CControl control;
            control.id = idPrefix + row->id;
            control.kind = ControlKind(row->kind);
            control.label = row->barLabel;
            if (IsChoice(row->kind)) control.items = row->items(o);
            control.minimum = row->minimum;
            control.maximum = row->maximum;
            control.numeric = row->kind == ERowKind::NumberEdit;
            control.group = row->group;
            control.tooltip = row->tooltip;
            control.caption = row->caption;
            controls.Add(control);
        }
        UpdateControls(o, controls, idPrefix);
    }

    /** Writes every control's state from the object. */
    void UpdateControls(const Object& o, CControlModel& controls,
                        const std::string& idPrefix) const {
        for (const Row& row : m_rows)
            if (row.kind != ERowKind::Stored) ShowRow(row, o, controls, idPrefix);
    }

    /** A user's change of the control `id`: the row's handler, or its kind's. */
    CChangeResult Dispatch(Object& o, const std::string& id, CDspView& view,
                           CControlModel& controls, const std::string& idPrefix) const {
        const Row* row = nullptr;
        for (const Row& r : m_rows)
            if (r.kind != ERowKind::Stored && idPrefix + r.id == id) row = &r;
        CControlState* state = controls.StateById(id);
        if (!row || !state) return {};
        CRowChange change{view, *state};
        const bool changed = row->onChange ? row->onChange(o, change) : Take(*row, o, change);
        if (change.refused) {
            if (change.restore) ShowRow(*row, o, controls, idPrefix);
            return {EChange::Refused, change.reason};
        }
        return {changed ? EChange::Changed : EChange::Kept, {}};
    }

    // ---- ISettingRows ----

    void AppendList(const CObject& object, const CRowPrefix& prefix,
                    std::vector<CSettingValue>& list) const override {
        const std::vector<CSettingValue> mine = List(Cast(object), prefix);
        list.insert(list.end(), mine.begin(), mine.end());
    }
    std::optional<bool> SetListed(CObject& object, const CRowPrefix& prefix, const std::string& id,
                                  const std::string& text, std::string& message) const override {
        const Row* row = Find(id, prefix);
        if (!row) return std::nullopt;
        return SetFromText(Cast(object), *row, text, message);
    }
    void AddControls(const CObject& object, const CRowPrefix& prefix,
                     CControlModel& controls) const override {
        AddControls(Cast(object), controls, prefix.id);
    }
    void UpdateControls(const CObject& object, const CRowPrefix& prefix,
                        CControlModel& controls) const override {
        UpdateControls(Cast(object), controls, prefix.id);
    }
    CChangeResult Dispatch(CObject& object, const CRowPrefix& prefix, const std::string& id,
                           CDspView& view, CControlModel& controls) const override {
        return Dispatch(Cast(object), id, view, controls, prefix.id);
    }
    void Store(CArchive& ar, const CObject& object) const override { Store(ar, Cast(object)); }
    bool Read(CArchive& ar, CObject& object) const override {
        const auto values = Load(ar);
        if (!values) return false;
        Apply(Cast(object), *values, ar.IsLegacy());
        return true;
    }
    void AppendOptional(const CObject& object, const CRowPrefix& prefix,
                        std::vector<COptionalSetting>& list) const override {
        for (const Row& row : m_rows) {
            if (!row.optional || ValueOf(row, Cast(object)) == row.byDefault) continue;
            CArchive ar;
            WriteValue(ar, row, Cast(object));
            list.push_back({prefix.id + row.id, ar.GetBuffer(), row.needed});
        }
    }
    bool ReadOptional(CObject& object, const CRowPrefix& prefix,
                      const std::vector<COptionalSetting>& stored,
                      std::string& message) const override {
        for (const Row& row : m_rows) {
            if (!row.optional) continue;
            CRowValue value = row.byDefault;
            for (const COptionalSetting& setting : stored) {
                if (setting.id != prefix.id + row.id) continue;
                CArchive ar(setting.value);
                value = ReadValue(ar, row.type);
                if (ar.Ok() && ar.Remaining() != 0) ar.Fail("it holds more than one value");
                message = ar.Ok() && row.check ? row.check(value.number) : ar.GetError();
                if (!message.empty()) {
                    message = "setting '" + setting.id + "': " + message;
                    return false;
                }
            }
            SetValue(row, Cast(object), value);
        }
        return true;
    }
    bool HasOptional(const CRowPrefix& prefix, const std::string& id) const override {
        return std::any_of(m_rows.begin(), m_rows.end(), [&](const Row& row) {
            return row.optional && prefix.id + row.id == id;
        });
    }

private:
    static const Object& Cast(const CObject& o) { return static_cast<const Object&>(o); }
    static Object& Cast(CObject& o) { return static_cast<Object&>(o); }

    static const Row& InLayout(const Row& row, bool legacy) {
        return legacy && row.legacy ? *row.legacy : row;
    }

    static bool IsChoice(ERowKind kind) {
        return kind == ERowKind::Combo || kind == ERowKind::Radio;
    }

    /** The rows by their places of one kind (bar or listing); rows without one keep theirs. */
    std::vector<const Row*> InOrder(int Row::*place) const {
        std::vector<const Row*> rows;
        for (const Row& row : m_rows)
            rows.push_back(&row);
        const auto key = [&](const Row* row) {
            return row->*place >= 0 ? row->*place : int(row - m_rows.data());
        };
        std::stable_sort(rows.begin(), rows.end(),
                         [&](const Row* a, const Row* b) { return key(a) < key(b); });
        return rows;
    }

    /** The rows the bar shows, by their bar places. */
    std::vector<const Row*> BarRows() const {
        std::vector<const Row*> bar;
        for (const Row* row : InOrder(&Row::barPlace))
            if (row->kind != ERowKind::Stored) bar.push_back(row);
        return bar;
    }

    size_t StoredIndex(const Row& row) const {
        size_t i = 0;
        for (const Row& r : m_rows) {
            if (&r == &row) break;
            if (r.InRecord()) ++i;
        }
        return i;
    }

    static void SetValue(const Row& row, Object& o, const CRowValue& value) {
        if (row.type == EFieldType::String)
            row.setText(o, value.text);
        else if (row.IsList())
            row.setList(o, value);
        else
            row.set(o, value.number);
    }

    static CRowValue ValueOf(const Row& row, const Object& o) {
        if (row.type == EFieldType::String) return {0.0, row.getText(o)};
        if (row.IsList()) return row.getList(o);
        return {row.get ? row.get(o) : 0.0};
    }

    static void WriteValue(CArchive& ar, const Row& row, const Object& o) {
        switch (row.type) {
        case EFieldType::Int32:
            ar.WriteInt32(static_cast<int32_t>(row.get(o)));
            break;
        case EFieldType::Double:
            ar.WriteDouble(row.get(o));
            break;
        case EFieldType::UInt16:
            ar.WriteUInt16(static_cast<uint16_t>(row.get(o)));
            break;
        case EFieldType::String:
            ar.WriteString(row.getText(o));
            break;
        case EFieldType::TextList: {
            const std::vector<std::string> texts = row.getList(o).texts;
            ar.WriteStringList({texts.begin(), texts.end()});
            break;
        }
        case EFieldType::ByteList: {
            const std::vector<uint8_t> bytes = row.getList(o).bytes;
            ar.WriteCount(uint32_t(bytes.size()));
            for (uint8_t b : bytes)
                ar.WriteByte(b);
            break;
        }
        case EFieldType::None:
            break;
        }
    }

    static CRowValue ReadValue(CArchive& ar, EFieldType type) {
        switch (type) {
        case EFieldType::Int32:
            return {double(ar.ReadInt32())};
        case EFieldType::Double:
            return {ar.ReadDouble()};
        case EFieldType::UInt16:
            return {double(ar.ReadUInt16())};
        case EFieldType::String:
            return {0.0, ar.ReadString()};
        case EFieldType::TextList: {
            std::list<std::string> texts;
            ar.ReadStringList(texts);
            return {0.0, {}, {texts.begin(), texts.end()}, {}};
        }
        case EFieldType::ByteList: {
            const uint32_t count = ar.ReadCount();
            if (!ar.Ok() || !ar.Require(count)) return {};
            CRowValue value;
            for (uint32_t i = 0; i < count; ++i)
                value.bytes.push_back(ar.ReadByte() != 0); // a flag is on or off
            return value;
        }
        case EFieldType::None:
            break;
        }
        return {};
    }

    static std::string TextOf(const Row& row, const Object& o) {
        if (row.items) {
            const std::vector<std::string> items = row.items(o);
            const double v = row.get(o);
            return v >= 0 && v < double(items.size()) ? items[size_t(v)] : std::string();
        }
        if (row.text) return row.text(o);
        if (row.getText) return row.getText(o);
        return row.get ? SettingNumberText(row.get(o)) : std::string();
    }

    static EControlKind ControlKind(ERowKind kind) {
        switch (kind) {
        case ERowKind::Combo:
            return EControlKind::ComboBox;
        case ERowKind::Spin:
            return EControlKind::Spin;
        case ERowKind::CheckBox:
            return EControlKind::CheckBox;
        case ERowKind::Button:
            return EControlKind::PushButton;
        case ERowKind::Text:
            return EControlKind::ReadOnlyText;
        case ERowKind::Radio:
            return EControlKind::RadioGroup;
        default:
            return EControlKind::Edit;
        }
    }

    static void ShowRow(const Row& row, const Object& o, CControlModel& controls,
                        const std::string& idPrefix) {
        CControl* control = controls.ControlById(idPrefix + row.id);
        CControlState* state = controls.StateById(idPrefix + row.id);
        if (!control || !state) return;
        if (IsChoice(row.kind)) {
            control->items = row.items(o);
            const double v = row.get(o);
            state->selection = int(v);
            state->text = v >= 0 && v < double(control->items.size()) ? control->items[size_t(v)]
                                                                      : std::string();
        } else if (row.kind == ERowKind::CheckBox) {
            state->checked = row.get(o) != 0;
        } else if (row.kind == ERowKind::Text && (row.get || row.text || row.getText)) {
            state->text = TextOf(row, o);
        } else if (row.kind != ERowKind::Button && !row.show) {
            state->text = TextOf(row, o);
        }
        if (row.show) row.show(o, *control, *state);
    }

    /** The kind's own handling of a change: a choice or a check sets its value, an edit sets
     *  it from its text (refusing what set-from-text refuses); a button does nothing. */
    bool Take(const Row& row, Object& o, CRowChange& change) const {
        switch (row.kind) {
        case ERowKind::Combo:
        case ERowKind::Radio:
            if (change.state.selection < 0 || size_t(change.state.selection) >= row.items(o).size())
                return false;
            row.set(o, change.state.selection);
            return true;
        case ERowKind::CheckBox:
            row.set(o, change.state.checked ? 1 : 0);
            return true;
        case ERowKind::Edit:
        case ERowKind::NumberEdit:
        case ERowKind::Spin: {
            std::string reason;
            if (!SetFromText(o, row, change.state.text, reason)) change.Refuse(reason);
            return !change.refused;
        }
        default:
            return false;
        }
    }

    std::vector<Row> m_rows;
    Joint m_joint;
};

/** Checks for rows: a whole value from `low` to `high`, and a finite value. */
inline std::function<std::string(double)> InRange(double low, double high, std::string message) {
    return [=](double v) { return v >= low && v <= high ? std::string() : message; };
}
inline std::function<std::string(double)> Finite(std::string message) {
    return [=](double v) { return v - v == 0.0 ? std::string() : message; };
}
