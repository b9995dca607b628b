// How tolvane-cli lays out its help: paragraphs wrapped for a terminal of 80
// columns, and lists of words in prose.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Lines of --help stay within a terminal of 80 columns.
inline constexpr std::size_t LineWidth = 79;
// Where an option's paragraph starts: after "  --transcript FILE" and two spaces.
inline constexpr std::size_t OptionTextColumn = 21;
// Where a command's paragraph starts: after "  provision" and two spaces.
inline constexpr std::size_t CommandTextColumn = 13;

// `text`'s words in lines of at most LineWidth columns, the first line after
// `first` and the rest indented by `indent` spaces.
std::string Wrap(std::string first, const std::string& text, std::size_t indent);

// "a, b, c", or with `last` " or ": "a, b or c".
std::string JoinWords(const std::vector<std::string>& words, const char* last = ", ");
