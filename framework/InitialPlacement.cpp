#include "InitialPlacement.h"

// The dialog manager shows a dialog only after WM_INITDIALOG, so it is still
// hidden here, however its template is styled.
InitialPlacement::InitialPlacement(HWND window) : m_hWnd(window), m_hidden(!::IsWindowVisible(window))
{
    ::GetWindowRect(window, &m_rect);
}

bool InitialPlacement::LeftToFramework() const
{
    if (!m_hidden || ::IsWindowVisible(m_hWnd))
        return false;
    RECT rect{};
    ::GetWindowRect(m_hWnd, &rect);
    if (rect.left != m_rect.left || rect.top != m_rect.top)
        return false;
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    return owner == nullptr || !::IsWindowEnabled(owner);
}
