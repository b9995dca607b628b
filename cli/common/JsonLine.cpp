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

// The library writes U+007F and U+0080 to U+009F as they are; a terminal
// takes them for controls (U+009B starts a control sequence), and a device's
// name may hold them. They are written as \u escapes instead, as the library
// writes the controls below U+0020. In valid UTF-8 (the library's output)
// 0xC2 followed by 0x80 to 0x9F is exactly U+0080 to U+009F.
std::string JsonDump(const Json& value)
{
    const std::string dumped = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::string json;
    json.reserve(dumped.size());
    for (std::size_t i = 0; i < dumped.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(dumped[i]);
        const unsigned char next = i + 1 < dumped.size() ? static_cast<unsigned char>(dumped[i + 1]) : 0;
        if (byte == 0x7F) {
            json += "\\u007f";
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            static const char hex[] = "0123456789abcdef";
            json += "\\u00";
            json += hex[next >> 4];
            json += hex[next & 0x0F];
            ++i;
        } else {
            json += dumped[i];
        }
    }
    return json;
}

std::string JsonObjectLine(const std::vector<JsonField>& fields)
{
    return JsonDump(JsonObject(fields)) + "\n";
}
