#include "CliOptions.h"

#include <cctype>

bool ParseAuthWord(const std::string& word, int& auth)
{
    if (word != "on" && word != "off")
        return false;
    auth = word == "on" ? 1 : 0;
    return true;
}

bool ParsePlanAuth(const std::string& word, int& auth)
{
    std::string lower = word;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ParseAuthWord(lower == "1" ? "on" : lower == "0" ? "off" : lower, auth);
}
