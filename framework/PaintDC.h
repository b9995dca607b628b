// CPaintDC: the device context of one WM_PAINT. BeginPaint in the
// constructor, EndPaint in the destructor: construct it only while handling
// WM_PAINT, and only once.
#pragma once

#include "Wnd.h"

#include <windows.h>

class CPaintDC {
public:
    explicit CPaintDC(CWnd* window);
    ~CPaintDC();

    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }

    BOOL DrawIcon(int x, int y, HICON icon);

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps{};
    HDC m_hDC;
};
