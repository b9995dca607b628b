// JSON as this program writes it, through nlohmann/json: the record's
// entries, provision's --json rows, query's and scan's --json. The record is
// read back with the same library (EarlierRun.cpp).
//
// Text is written as UTF-8, as it stands. Bytes that are not UTF-8 (a
// device's name is bytes the device chose) are written as U+FFFD, so that
// no reader takes them for other text; where the text is the device's own,
// a field named after it with "Hex" at the end keeps the raw bytes.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// Keys stay in the order they were set: a person reads the lines too.
using Json = nlohmann::ordered_json;

enum class JsonValue {
    Text,        // a string
    DeviceText,  // a string the device reported: its bytes kept in key + "Hex" when not UTF-8
    Literal,     // a number or true/false, as it stands
};

struct JsonField {
    const char* key;
    std::string value;  // empty when unknown: the key is left out
    JsonValue kind;
};

// Sets `key` to `bytes` (and `key`Hex, for device text that is not UTF-8).
void SetJsonText(Json& object, const std::string& key, const std::string& bytes, JsonValue kind = JsonValue::Text);

// The object of `fields`, empty ones left out.
Json JsonObject(const std::vector<JsonField>& fields);

// `value` on one line, without a line end.
std::string JsonDump(const Json& value);

// JsonDump of JsonObject(fields) with its line end: "{...}\n".
std::string JsonObjectLine(const std::vector<JsonField>& fields);

// Whether `bytes` are UTF-8 as JSON takes it.
bool IsUtf8(const std::string& bytes);
