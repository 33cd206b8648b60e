#include "station/JsonSchema.h"

#include <array>
#include <string_view>

using nlohmann::json;

namespace {

constexpr std::array kKeywords{"$schema",
                               "$id",
                               "$defs",
                               "title",
                               "description",
                               "type",
                               "enum",
                               "minimum",
                               "maximum",
                               "exclusiveMinimum",
                               "minLength",
                               "maxLength",
                               "minItems",
                               "maxItems",
                               "items",
                               "prefixItems",
                               "properties",
                               "required",
                               "additionalProperties",
                               "$ref"};

std::string Join(const std::string& where, const std::string& key) {
    return where.empty() ? key : where + "." + key;
}

std::string Quoted(const json& v) {
    return v.dump();
}

bool HasType(const json& value, const std::string& type) {
    if (type == "object") return value.is_object();
    if (type == "array") return value.is_array();
    if (type == "string") return value.is_string();
    if (type == "boolean") return value.is_boolean();
    if (type == "null") return value.is_null();
    if (type == "number") return value.is_number();
    if (type == "integer")
        return value.is_number_integer() ||
               (value.is_number_float() &&
                value.get<double>() == double(int64_t(value.get<double>())));
    return false;
}

std::string TypeName(const json& type) {
    if (type.is_string())
        return type.get<std::string>() == "integer"  ? "a whole number"
               : type.get<std::string>() == "object" ? "an object"
               : type.get<std::string>() == "array"  ? "a list"
                                                     : "a " + type.get<std::string>();
    std::string names;
    for (const json& t : type)
        names += (names.empty() ? "" : " or ") + TypeName(t);
    return names;
}

class CChecker {
public:
    explicit CChecker(const json& root) : m_root(root) {}

    std::string Check(const json& schema, const json& value, const std::string& where) const {
        if (schema.contains("$ref")) {
            const json* target = Resolve(schema["$ref"].get<std::string>());
            if (!target)
                return Place(where) + ": the schema's reference " + Quoted(schema["$ref"]) +
                       " is not found";
            if (std::string e = Check(*target, value, where); !e.empty()) return e;
        }
        if (std::string e = CheckType(schema, value, where); !e.empty()) return e;
        if (std::string e = CheckNumber(schema, value, where); !e.empty()) return e;
        if (std::string e = CheckString(schema, value, where); !e.empty()) return e;
        if (value.is_array())
            if (std::string e = CheckArray(schema, value, where); !e.empty()) return e;
        if (value.is_object()) return CheckObject(schema, value, where);
        return {};
    }

private:
    static std::string Place(const std::string& where) {
        return where.empty() ? "the plan" : where;
    }

    const json* Resolve(const std::string& ref) const {
        if (ref.rfind("#/", 0) != 0) return nullptr;
        const json::json_pointer pointer(ref.substr(1));
        return m_root.contains(pointer) ? &m_root.at(pointer) : nullptr;
    }

    std::string CheckType(const json& schema, const json& value, const std::string& where) const {
        if (schema.contains("type")) {
            const json& type = schema["type"];
            bool any = false;
            if (type.is_string())
                any = HasType(value, type.get<std::string>());
            else
                for (const json& t : type)
                    any = any || HasType(value, t.get<std::string>());
            if (!any) return Place(where) + ": must be " + TypeName(type);
        }
        if (schema.contains("enum")) {
            for (const json& allowed : schema["enum"])
                if (allowed == value) return {};
            std::string list;
            for (const json& allowed : schema["enum"])
                list += (list.empty() ? "" : ", ") + Quoted(allowed);
            return Place(where) + ": " + Quoted(value) + " is not one of " + list;
        }
        return {};
    }

    static std::string CheckNumber(const json& schema, const json& value,
                                   const std::string& where) {
        if (!value.is_number()) return {};
        const double v = value.get<double>();
        if (schema.contains("minimum") && v < schema["minimum"].get<double>())
            return Place(where) + ": " + Quoted(value) + " is below the least allowed, " +
                   Quoted(schema["minimum"]);
        if (schema.contains("maximum") && v > schema["maximum"].get<double>())
            return Place(where) + ": " + Quoted(value) + " is above the most allowed, " +
                   Quoted(schema["maximum"]);
        if (schema.contains("exclusiveMinimum") && !(v > schema["exclusiveMinimum"].get<double>()))
            return Place(where) + ": " + Quoted(value) + " must be above " +
                   Quoted(schema["exclusiveMinimum"]);
        return {};
    }

    static std::string CheckString(const json& schema, const json& value,
                                   const std::string& where) {
        if (!value.is_string()) return {};
        const size_t length = value.get_ref<const std::string&>().size();
        if (schema.contains("minLength") && length < schema["minLength"].get<size_t>())
            return Place(where) + ": must have at least " + Quoted(schema["minLength"]) +
                   " character(s)";
        if (schema.contains("maxLength") && length > schema["maxLength"].get<size_t>())
            return Place(where) + ": must have at most " + Quoted(schema["maxLength"]) +
                   " characters";
        return {};
    }

    std::string CheckArray(const json& schema, const json& value, const std::string& where) const {
        if (schema.contains("minItems") && value.size() < schema["minItems"].get<size_t>())
            return Place(where) + ": must hold at least " + Quoted(schema["minItems"]) + " item(s)";
        if (schema.contains("maxItems") && value.size() > schema["maxItems"].get<size_t>())
            return Place(where) + ": must hold at most " + Quoted(schema["maxItems"]) + " items";
        const size_t prefix = schema.contains("prefixItems") ? schema["prefixItems"].size() : 0;
        for (size_t i = 0; i < value.size(); ++i) {
            const std::string at = Place(where) + "[" + std::to_string(i) + "]";
            const json* item = i < prefix                 ? &schema["prefixItems"][i]
                               : schema.contains("items") ? &schema["items"]
                                                          : nullptr;
            if (item)
                if (std::string e = Check(*item, value[i], at); !e.empty()) return e;
        }
        return {};
    }

    std::string CheckObject(const json& schema, const json& value, const std::string& where) const {
        if (schema.contains("required"))
            for (const json& name : schema["required"])
                if (!value.contains(name.get<std::string>()))
                    return Place(where) + ": " + Quoted(name) + " is missing";
        const bool closed =
            schema.contains("additionalProperties") && schema["additionalProperties"] == false;
        for (const auto& [key, member] : value.items()) {
            const bool known = schema.contains("properties") && schema["properties"].contains(key);
            if (!known && closed)
                return Place(where) + ": " + Quoted(key) + " is not a known field";
            if (known)
                if (std::string e = Check(schema["properties"][key], member, Join(where, key));
                    !e.empty())
                    return e;
        }
        return {};
    }

    const json& m_root;
};

std::string FindUnsupported(const json& schema, bool inNameMap) {
    if (!schema.is_object()) return {};
    for (const auto& [key, member] : schema.items()) {
        if (!inNameMap) {
            bool known = false;
            for (std::string_view k : kKeywords)
                known = known || key == k;
            if (!known) return key;
        }
        const bool nameMap = !inNameMap && (key == "properties" || key == "$defs");
        if (member.is_object())
            if (std::string e = FindUnsupported(member, nameMap); !e.empty()) return e;
        if (member.is_array() && key == "prefixItems")
            for (const json& item : member)
                if (std::string e = FindUnsupported(item, false); !e.empty()) return e;
    }
    return {};
}

} // namespace

std::string CheckJsonSchema(const json& schema, const json& value) {
    return CChecker(schema).Check(schema, value, "");
}

std::string UnsupportedSchemaKeyword(const json& schema) {
    return FindUnsupported(schema, false);
}
