#include "Wnd.h"

#include <vector>

CWnd CWnd::GetDlgItem(int id) const { return CWnd(::GetDlgItem(m_hWnd, id)); }

BOOL CWnd::EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }

void CWnd::SetDlgItemText(int id, LPCSTR text) { ::SetDlgItemTextA(m_hWnd, id, text); }

int CWnd::GetDlgItemText(int id, CString& text) const
{
    const HWND control = ::GetDlgItem(m_hWnd, id);
    const int length = ::GetWindowTextLengthA(control);
    std::vector<char> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    ::GetWindowTextA(control, buffer.data(), static_cast<int>(buffer.size()));
    text = buffer.data();
    return text.GetLength();
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

CMenu CWnd::GetSystemMenu(BOOL revert) const { return CMenu(::GetSystemMenu(m_hWnd, revert)); }

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon)
{
    const WPARAM which = bigIcon ? ICON_BIG : ICON_SMALL;
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, which, reinterpret_cast<LPARAM>(icon)));
}

BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }

void CWnd::GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
