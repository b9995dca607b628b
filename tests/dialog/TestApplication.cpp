// The test program's application object, as the program has one: message
// boxes take their caption from it, and the dialog under test becomes its
// main window.
#include "Framework.h"

namespace {
CWinApp testApplication;
}
