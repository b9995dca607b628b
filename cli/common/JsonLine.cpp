#include "JsonLine.h"

#include "TextEscape.h"

bool IsUtf8(const std::string& bytes)
{
    // The library's own check, the one its writer applies.
    try {
        (void)Json(bytes).dump(-1, ' ', false, Json::error_handler_t::strict);
        return true;
    } catch (const Json::type_error&) {
        return false;
    }
}

void SetJsonText(Json& object, const std::string& key, const std::string& bytes, JsonValue kind)
{
    // The string holds the bytes as they are; JsonDump writes U+FFFD for
    // those that are not UTF-8.
    object[key] = bytes;
    if (kind == JsonValue::DeviceText && !IsUtf8(bytes))
        object[key + "Hex"] = HexText(bytes);
}

Json JsonObject(const std::vector<JsonField>& fields)
{
    Json object = Json::object();
    for (const JsonField& field : fields) {
        if (field.value.empty())
            continue;
        if (field.kind != JsonValue::Literal) {
            SetJsonText(object, field.key, field.value, field.kind);
            continue;
        }
        Json literal = Json::parse(field.value, nullptr, false);
        if (literal.is_discarded() || literal.is_structured())
            SetJsonText(object, field.key, field.value);
        else
            object[field.key] = literal;
    }
    return object;
}

std::string JsonDump(const Json& value)
{
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string JsonObjectLine(const std::vector<JsonField>& fields)
{
    return JsonDump(JsonObject(fields)) + "\n";
}
