// The main window's chrome: the About item of the system menu, the icons,
// the icon drawn while minimised and the drag icon.
#include "ConfigDialog.h"

#include "AboutDialog.h"
#include "IconPlacement.h"
#include "resource.h"

void CConfigDialog::AddAboutItemToSystemMenu()
{
    CMenu systemMenu = GetSystemMenu(FALSE);
    if (systemMenu.GetSafeHmenu() == nullptr)
        return;
    CString aboutItem;
    aboutItem.LoadString(IDS_ABOUT_MENU);
    if (aboutItem.IsEmpty())
        return;
    systemMenu.AppendMenu(MF_SEPARATOR);
    systemMenu.AppendMenu(MF_STRING, IDM_ABOUT, aboutItem);
}

void CConfigDialog::SetWindowIcons()
{
    SetIcon(m_hIcon, TRUE);   // big: Alt+Tab and the task bar
    SetIcon(m_hIcon, FALSE);  // small: the caption
}

void CConfigDialog::OnSysCommand(UINT nID, LPARAM lParam)
{
    // Windows uses the low four bits of system commands itself.
    if ((nID & 0xFFF0) == IDM_ABOUT) {
        CAboutDialog about;
        about.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CConfigDialog::OnPaint()
{
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);

    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT client;
    GetClientRect(&client);
    const int x = CentredOffset(client.right - client.left, iconWidth);
    const int y = CentredOffset(client.bottom - client.top, iconHeight);
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CConfigDialog::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}
