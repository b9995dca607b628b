#include "Wnd.h"

#include <vector>

CWnd CWnd::GetDlgItem(int id) const
{
    return CWnd(::GetDlgItem(m_hWnd, id));
}

BOOL CWnd::EnableWindow(BOOL enable)
{
    return ::EnableWindow(m_hWnd, enable);
}

void CWnd::SetDlgItemText(int id, LPCSTR text)
{
    ::SetDlgItemTextA(m_hWnd, id, text);
}

int CWnd::GetDlgItemText(int id, CString& text) const
{
    const HWND control = ::GetDlgItem(m_hWnd, id);
    const int length = ::GetWindowTextLengthA(control);
    std::vector<char> buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    ::GetWindowTextA(control, buffer.data(), static_cast<int>(buffer.size()));
    text = buffer.data();
    return text.GetLength();
}

void CWnd::CheckDlgButton(int id, UINT check)
{
    ::CheckDlgButton(m_hWnd, id, check);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

CMenu CWnd::GetSystemMenu(BOOL revert) const
{
    return CMenu(::GetSystemMenu(m_hWnd, revert));
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon)
{
    const WPARAM which = bigIcon ? ICON_BIG : ICON_SMALL;
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, which, reinterpret_cast<LPARAM>(icon)));
}

BOOL CWnd::IsIconic() const
{
    return ::IsIconic(m_hWnd);
}

void CWnd::GetClientRect(LPRECT rect) const
{
    ::GetClientRect(m_hWnd, rect);
}

namespace {

// The left (or top) edge that centres `length` on the span from `low` to
// `high`, then moved inside the work area's span if it sticks out.
int CentredEdge(int low, int high, int length, int areaLow, int areaHigh)
{
    const int edge = (low + high) / 2 - length / 2;
    if (edge < areaLow)
        return areaLow;
    if (edge + length > areaHigh)
        return areaHigh - length;
    return edge;
}

}  // namespace

void CWnd::CenterWindow()
{
    RECT area{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);

    // A hidden or minimised owner gives no place to centre on.
    RECT around = area;
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &around);

    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    const int left = CentredEdge(around.left, around.right, window.right - window.left, area.left, area.right);
    const int top = CentredEdge(around.top, around.bottom, window.bottom - window.top, area.top, area.bottom);
    ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
