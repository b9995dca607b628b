#include "CString.h"

#include "WinApp.h"

#include <vector>

CString::CString(LPCSTR text) : m_text(text != nullptr ? text : "") {}

CString& CString::operator=(LPCSTR text)
{
    m_text = text != nullptr ? text : "";
    return *this;
}

int CString::GetLength() const
{
    return static_cast<int>(m_text.size());
}

bool CString::IsEmpty() const
{
    return m_text.empty();
}

void CString::Empty()
{
    m_text.clear();
}

CString::operator LPCSTR() const
{
    return m_text.c_str();
}

BOOL CString::LoadString(UINT id)
{
    // LoadStringA truncates to the buffer and reports the length it copied;
    // a string that fills the buffer may have been cut, so try a larger one.
    constexpr int LargestString = 4096;
    std::vector<char> buffer(256);
    int length = 0;
    for (;;) {
        length = ::LoadStringA(AfxGetResourceHandle(), id, buffer.data(), static_cast<int>(buffer.size()));
        if (length < static_cast<int>(buffer.size()) - 1 || buffer.size() >= LargestString)
            break;
        buffer.resize(buffer.size() * 2);
    }
    m_text.assign(buffer.data(), static_cast<std::size_t>(length > 0 ? length : 0));
    return length > 0;
}
