#include "MessageBox.h"

#include "WinApp.h"

int AfxMessageBox(LPCSTR text, UINT type, UINT)
{
    return ::MessageBoxA(AfxGetDefaultOwner(), text, AfxGetAppName(), type);
}
