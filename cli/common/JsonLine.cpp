#include "JsonLine.h"

#include "TextEscape.h"

std::string JsonObjectLine(const std::vector<JsonField>& fields)
{
    std::string line;
    for (const JsonField& field : fields) {
        if (field.value.empty())
            continue;
        line += line.empty() ? "{\"" : ",\"";
        line += field.key;
        line += "\":";
        line += field.quoted ? JsonString(field.value) : field.value;
    }
    return (line.empty() ? "{" : line) + "}\n";
}

namespace {

// Reads one JSON text element at a time from a line; every read checks the
// line's end, so a cut or broken line only ends the reading.
class JsonScanner {
public:
    explicit JsonScanner(const std::string& text) : m_text(text) {}

    bool Take(char expected)
    {
        SkipSpace();
        if (m_at >= m_text.size() || m_text[m_at] != expected)
            return false;
        ++m_at;
        return true;
    }

    bool Ahead(char expected)
    {
        SkipSpace();
        return m_at < m_text.size() && m_text[m_at] == expected;
    }

    bool AtEnd()
    {
        SkipSpace();
        return m_at == m_text.size();
    }

    bool String(std::string& value);
    bool Bare(std::string& value);  // a number, true, false or null

private:
    void SkipSpace()
    {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t' || m_text[m_at] == '\r'))
            ++m_at;
    }
    bool Escape(std::string& value);

    const std::string& m_text;
    std::size_t m_at = 0;
};

bool JsonScanner::String(std::string& value)
{
    value.clear();
    if (!Take('"'))
        return false;
    while (m_at < m_text.size()) {
        const char c = m_text[m_at++];
        if (c == '"')
            return true;
        if (c != '\\')
            value += c;
        else if (!Escape(value))
            return false;
    }
    return false;
}

bool JsonScanner::Escape(std::string& value)
{
    if (m_at >= m_text.size())
        return false;
    const char c = m_text[m_at++];
    const std::string plain = "\"\\/bfnrt", meant = "\"\\/\b\f\n\r\t";
    if (plain.find(c) != std::string::npos) {
        value += meant[plain.find(c)];
        return true;
    }
    if (c != 'u' || m_at + 4 > m_text.size())
        return false;
    unsigned code = 0;
    for (int i = 0; i < 4; ++i) {
        // Each digit is found among the hex digits of either case, and only there.
        const std::size_t place = std::string("0123456789abcdefABCDEF").find(m_text[m_at++]);
        if (place == std::string::npos)
            return false;
        code = code * 16 + static_cast<unsigned>(place < 16 ? place : place - 6);
    }
    value += code <= 0xFF ? static_cast<char>(code) : '?';
    return true;
}

bool JsonScanner::Bare(std::string& value)
{
    SkipSpace();
    const std::size_t start = m_at;
    while (m_at < m_text.size() && std::string(",} \t\r").find(m_text[m_at]) == std::string::npos)
        ++m_at;
    value = m_text.substr(start, m_at - start);
    return !value.empty();
}

}  // namespace

bool ReadJsonObjectLine(const std::string& line, std::map<std::string, std::string>& fields)
{
    fields.clear();
    JsonScanner scanner(line);
    if (!scanner.Take('{'))
        return false;
    if (scanner.Take('}'))
        return scanner.AtEnd();
    for (;;) {
        std::string key, value;
        if (!scanner.String(key) || !scanner.Take(':'))
            return false;
        if (!(scanner.Ahead('"') ? scanner.String(value) : scanner.Bare(value)))
            return false;
        fields[key] = value;
        if (scanner.Take('}'))
            return scanner.AtEnd();
        if (!scanner.Take(','))
            return false;
    }
}
