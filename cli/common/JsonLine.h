// One JSON object on one line, from fields in their order: the form of
// provision's --json rows and of the record's entries.
#pragma once

#include <map>
#include <string>
#include <vector>

struct JsonField {
    const char* key;
    std::string value;  // empty when unknown: the key is left out
    bool quoted;        // a string, or a number or true/false as it stands
};

// "{...}\n", ASCII (JsonString in OutputFormat.h).
std::string JsonObjectLine(const std::vector<JsonField>& fields);

// The reverse, for lines this program wrote: a flat object's keys and their
// values, strings unescaped (\u00XX as the byte it stands for) and anything
// else as it stands. False for a line that is no flat JSON object.
bool ReadJsonObjectLine(const std::string& line, std::map<std::string, std::string>& fields);
