#pragma once
// A module's stored settings as one table. Each field says how it is written to a process file,
// which values a file may hold, how `info` lists it and how `set` changes it; storing, loading,
// checking and listing all walk the same table, so a field cannot be written in one place and
// forgotten in another. Values travel as doubles, which hold every int32 exactly.

#include "base/Archive.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

/** A setting as listed: the id `set` takes, the label and the value as text. */
struct CSettingValue {
    std::string id;
    std::string label;
    std::string value;
    bool operator==(const CSettingValue&) const = default;
};

// The text helpers every table shares (SettingField.cpp).
bool SettingTextMatches(const std::string& a, const std::string& b);
std::string SettingItemsText(const std::vector<std::string>& items);
bool ParseSettingNumber(const std::string& text, double& value, std::string& reason);
std::string SettingNumberText(double value);

enum class EFieldType { Int32, Double };

template <class View> struct CSettingField {
    std::string id{};    // the control id that edits it, or an id of its own; empty: not listed
    std::string label{}; // as listed
    EFieldType type = EFieldType::Int32;
    std::function<double(const View&)> get{};
    std::function<void(View&, double)> set{};
    /** Empty when the view can hold the value, else the message that refuses it. */
    std::function<std::string(double)> check{};
    /** A choice field: its items, the value being the index. */
    std::function<std::vector<std::string>(const View&)> items{};
    /** The value as listed when it is not a choice; null lists the number. */
    std::function<std::string(const View&)> text{};
};

template <class View> class CFieldTable {
public:
    using Field = CSettingField<View>;
    /** A check across fields (in table order): empty when the values fit together. */
    using Joint = std::function<std::string(const std::vector<double>&)>;

    CFieldTable(std::vector<Field> fields, Joint joint = {})
        : m_fields(std::move(fields)), m_joint(std::move(joint)) {}

    const std::vector<Field>& Fields() const { return m_fields; }

    void Store(CArchive& ar, const View& view) const {
        for (const Field& f : m_fields) {
            if (f.type == EFieldType::Int32)
                ar.WriteInt32(static_cast<int32_t>(f.get(view)));
            else
                ar.WriteDouble(f.get(view));
        }
    }

    /** Reads and checks every field; the values, or none with the archive failed. */
    std::optional<std::vector<double>> Load(CArchive& ar) const {
        std::vector<double> values;
        for (const Field& f : m_fields)
            values.push_back(f.type == EFieldType::Int32 ? ar.ReadInt32() : ar.ReadDouble());
        if (!ar.Ok()) return std::nullopt;
        const std::string refusal = Check(values);
        if (!refusal.empty()) {
            ar.Fail(refusal);
            return std::nullopt;
        }
        return values;
    }

    /** The first refusal of the values, field by field and then together; empty when none. */
    std::string Check(const std::vector<double>& values) const {
        for (size_t i = 0; i < m_fields.size(); ++i) {
            if (!m_fields[i].check) continue;
            std::string refusal = m_fields[i].check(values[i]);
            if (!refusal.empty()) return refusal;
        }
        return m_joint ? m_joint(values) : std::string();
    }

    void Apply(View& view, const std::vector<double>& values) const {
        for (size_t i = 0; i < m_fields.size(); ++i)
            m_fields[i].set(view, values[i]);
    }

    std::vector<double> Values(const View& view) const {
        std::vector<double> values;
        for (const Field& f : m_fields)
            values.push_back(f.get(view));
        return values;
    }

    /** The listed fields; ids and labels get the prefixes ("ch1.", "Ch1 "). */
    std::vector<CSettingValue> List(const View& view, const std::string& idPrefix = {},
                                    const std::string& labelPrefix = {}) const {
        std::vector<CSettingValue> list;
        for (const Field& f : m_fields) {
            if (f.id.empty()) continue;
            list.push_back({idPrefix + f.id, labelPrefix + f.label, TextOf(f, view)});
        }
        return list;
    }

    /** The listed field with this id or label (without regard to case), or null. */
    const Field* Find(const std::string& idOrLabel, const std::string& idPrefix = {},
                      const std::string& labelPrefix = {}) const {
        for (const Field& f : m_fields)
            if (!f.id.empty() && (SettingTextMatches(idPrefix + f.id, idOrLabel) ||
                                  SettingTextMatches(labelPrefix + f.label, idOrLabel)))
                return &f;
        return nullptr;
    }

    /** Sets a field from the text `info` lists (an item of a choice field, else a decimal
     *  number), checked as a file's value is. False with the reason. */
    bool SetFromText(View& view, const Field& field, const std::string& text,
                     std::string& reason) const {
        std::vector<double> values = Values(view);
        double& value = values[size_t(&field - m_fields.data())];
        if (field.items) {
            const std::vector<std::string> items = field.items(view);
            size_t i = 0;
            while (i < items.size() && !SettingTextMatches(items[i], text))
                ++i;
            if (i == items.size()) {
                reason = "'" + text + "' is not one of " + SettingItemsText(items);
                return false;
            }
            value = double(i);
        } else if (!ParseSettingNumber(text, value, reason)) {
            reason = "'" + text + "' " + reason;
            return false;
        }
        reason = Check(values);
        if (!reason.empty()) return false;
        Apply(view, values);
        return true;
    }

private:
    static std::string TextOf(const Field& f, const View& view) {
        if (f.items) {
            const std::vector<std::string> items = f.items(view);
            const double v = f.get(view);
            return v >= 0 && v < double(items.size()) ? items[size_t(v)] : std::string();
        }
        if (f.text) return f.text(view);
        return SettingNumberText(f.get(view));
    }

    std::vector<Field> m_fields;
    Joint m_joint;
};

/** Checks for table fields: a whole value from `low` to `high`, and a finite value. */
inline std::function<std::string(double)> InRange(double low, double high, std::string message) {
    return [=](double v) { return v >= low && v <= high ? std::string() : message; };
}
inline std::function<std::string(double)> Finite(std::string message) {
    return [=](double v) { return v - v == 0.0 ? std::string() : message; };
}
