// CString: a growable single-byte (ANSI) text, the string type of the window
// code. It owns its characters and is always NUL-terminated, so it can be
// handed to any Win32 call that takes an LPCSTR.
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(LPCSTR text);  // implicit, so that a literal can stand for a CString; null is empty
    CString& operator=(LPCSTR text);

    int GetLength() const;
    bool IsEmpty() const;
    void Empty();

    operator LPCSTR() const;

    // Replaces the text with string `id` of the program's string table. An
    // identifier with no string leaves the text empty and returns FALSE.
    BOOL LoadString(UINT id);

    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, LPCSTR b) { return a == CString(b); }
    friend bool operator==(LPCSTR a, const CString& b) { return CString(a) == b; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, LPCSTR b) { return !(a == b); }
    friend bool operator!=(LPCSTR a, const CString& b) { return !(a == b); }

private:
    std::string m_text;
};
