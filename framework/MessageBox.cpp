#include "MessageBox.h"

#include "WinApp.h"

namespace {

// A box whose type names no icon gets the one its buttons call for: a
// statement to acknowledge the exclamation mark, a question the question
// mark. Boxes with other buttons stay without.
UINT WithDefaultIcon(UINT type)
{
    if ((type & MB_ICONMASK) != 0)
        return type;
    switch (type & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            return type | MB_ICONEXCLAMATION;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return type | MB_ICONQUESTION;
        default:
            return type;
    }
}

}  // namespace

int AfxMessageBox(LPCSTR text, UINT type, UINT)
{
    return ::MessageBoxA(AfxGetDefaultOwner(), text, AfxGetAppName(), WithDefaultIcon(type));
}
