#include "CliOptions.h"

bool ParseAuthWord(const std::string& word, int& auth)
{
    if (word != "on" && word != "off")
        return false;
    auth = word == "on" ? 1 : 0;
    return true;
}
