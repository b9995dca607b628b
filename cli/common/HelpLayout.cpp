#include "HelpLayout.h"

#include <algorithm>

std::string Wrap(std::string first, const std::string& text, std::size_t indent)
{
    std::string wrapped;
    std::string line = std::move(first);
    bool lineHasWord = false;
    for (std::size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = std::min(text.find(' ', start), text.size());
        const std::string word = text.substr(start, end - start);
        if (lineHasWord && line.size() + 1 + word.size() > LineWidth) {
            wrapped += line + "\n";
            line = std::string(indent, ' ');
            lineHasWord = false;
        }
        line += (lineHasWord ? " " : "") + word;
        lineHasWord = true;
    }
    return wrapped + line + "\n";
}

std::string JoinWords(const std::vector<std::string>& words, const char* last)
{
    std::string joined;
    for (std::size_t i = 0; i < words.size(); ++i)
        joined += (i == 0 ? "" : i + 1 == words.size() ? last : ", ") + words[i];
    return joined;
}
