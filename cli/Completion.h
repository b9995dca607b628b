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

// Asks the shell to complete file names too, beside the words before it.
inline constexpr char CompleteFiles[] = ":files";

// The candidates, one a line, each starting with the last word; then, where
// a file name may stand (a plan, a port, an option's file), the line
// CompleteFiles. `ports` are the ports of this machine (tolvane-cli scan's);
// the address schemes are offered beside them. A candidate that ends in //
// or : is the start of a word (socket://, random:): no space after it. An
// option is followed by a tab and its description, for the shells that
// show one.
std::string CompletionCandidates(const std::vector<std::string>& words, const std::vector<std::string>& ports);
