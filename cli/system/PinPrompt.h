// configure --pin-prompt: the new PIN typed twice on the terminal that is
// standard input, without echo, as passwd asks for a password. The prompts
// go to standard error, so that standard output keeps only the result.
#pragma once

#include <string>

// The PIN in `pin`, or false with a message: standard input is no terminal
// (refused at once, nothing is waited for), the input ended, or the two
// entries differ (the window's words for that).
bool PromptNewPin(std::string& pin, std::string& error);
