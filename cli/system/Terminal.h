// Whether standard error, or standard output, is a terminal (a console on
// Windows): there a line may be redrawn in place, and columns aligned for a
// person; a pipe or a file gets only whole lines, as programs read them.
#pragma once

bool StandardErrorIsTerminal();
bool StandardOutputIsTerminal();
