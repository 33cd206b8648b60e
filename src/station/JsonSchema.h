#pragma once
// The part of JSON Schema (2020-12) that describes the station's files: type, enum, minimum,
// maximum, exclusiveMinimum, minLength, maxLength, minItems, maxItems, items, prefixItems,
// properties, required, additionalProperties (false) and $ref within the same schema. A keyword
// outside that part is refused when the schema is read, so a schema never checks less than it
// says.

#include <nlohmann/json.hpp>

#include <string>

/** The first place where `value` breaks `schema`, as "where: reason" with `where` a path such as
 *  "measurements[0].limits[1].lower" ("the plan" for the whole document); empty when it holds. */
std::string CheckJsonSchema(const nlohmann::json& schema, const nlohmann::json& value);

/** The keyword of `schema` (or of a schema inside it) outside the supported part; empty when
 *  every keyword is supported. */
std::string UnsupportedSchemaKeyword(const nlohmann::json& schema);
