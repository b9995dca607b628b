// Whether standard error is a terminal (a console on Windows), where a line
// may be redrawn in place; a pipe or a file gets only whole lines.
#pragma once

bool StandardErrorIsTerminal();
