// Message boxes that carry the application's title as their caption.
#pragma once

#include <windows.h>

// Shows `text` in a modal message box of `type` (MB_OK ...) over the
// default owner (AfxGetDefaultOwner) and returns the button pressed. A type
// without an icon of its own gets one, with its sound: OK and OK/Cancel the
// exclamation mark, Yes/No and Yes/No/Cancel the question mark, the other
// button sets none. The system places the box itself. `helpContext` is
// accepted for the familiar call shape; the program has no help file to
// point it at.
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpContext = 0);
