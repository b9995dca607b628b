// tolvane-cli --complete WORD...: what the shells' completion scripts offer
// for the last WORD, given the words before it (the command line after the
// program's name), from the command and option tables. Nothing is offered
// that the program would then refuse: no option a command does not take, no
// second value of an option, no second PIN source, no port after the one
// port a command takes. The option is for the scripts, not for people, so
// --help does not list it.
#pragma once

#include <string>
#include <vector>

inline constexpr char CompleteOption[] = "--complete";

// Asks the shell to complete a file name instead of words.
inline constexpr char CompleteFiles[] = ":files";

// The candidates, one a line, each starting with the last word; or the one
// line CompleteFiles. `ports` are the ports of this machine (tolvane-cli
// scan's); the address schemes are offered beside them.
std::string CompletionCandidates(const std::vector<std::string>& words, const std::vector<std::string>& ports);
