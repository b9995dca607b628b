#include "Dialog.h"

#include "DialogTemplate.h"
#include "InitialPlacement.h"
#include "WinApp.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_templateId(templateId), m_hWndParent(parent != nullptr ? parent->m_hWnd : nullptr)
{}

INT_PTR CDialog::DoModal()
{
    const HWND owner = m_hWndParent != nullptr ? m_hWndParent : AfxGetDefaultOwner();
    const INT_PTR result = ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_templateId), owner,
                                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

void CDialog::EndDialog(int result)
{
    ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnInitDialog()
{
    CDataExchange dx(this);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnSysCommand(UINT, LPARAM)
{
    Default();
}

void CDialog::OnPaint()
{
    Default();
}

HCURSOR CDialog::OnQueryDragIcon()
{
    Default();
    return nullptr;
}

void CDialog::Default()
{
    m_passToDefault = true;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        // DoModal passed the object; keep it with the window for every later message.
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
        dialog->m_hWnd = hWnd;
        return dialog->InitDialog();
    }
    // Messages before WM_INITDIALOG (WM_SETFONT ...) find no object yet.
    auto* dialog = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (dialog == nullptr)
        return FALSE;
    return dialog->HandleMessage(message, wParam, lParam);
}

BOOL CDialog::InitDialog()
{
    const InitialPlacement placement(m_hWnd);
    const BOOL result = OnInitDialog();
    // A template that names a place of its own keeps it.
    if (placement.LeftToFramework() && TemplateLeavesPlacementToFramework(AfxGetResourceHandle(), m_templateId))
        CenterWindow();
    return result;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        return HandleCommand(LOWORD(wParam), HIWORD(wParam));

    const MessageMapEntry* entry = FindEntry(message, 0, 0);
    if (entry == nullptr)
        return FALSE;

    // A handler may run a modal loop (a message box, another dialog) that
    // brings this dialog other messages, so each message keeps its own flag.
    const bool outerPassToDefault = m_passToDefault;
    m_passToDefault = false;
    const LRESULT result = Invoke(*entry, wParam, lParam);
    const bool passToDefault = m_passToDefault;
    m_passToDefault = outerPassToDefault;

    if (passToDefault)
        return FALSE;  // the dialog manager's default processing
    if (std::holds_alternative<CursorHandler>(entry->handler))
        return static_cast<INT_PTR>(result);  // WM_QUERYDRAGICON returns its value directly
    return TRUE;
}

INT_PTR CDialog::HandleCommand(UINT id, UINT notifyCode)
{
    // Commands the dialog does not handle go on to the application, as a
    // menu command of the main window would.
    if (OnCmdMsg(id, notifyCode))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(id, notifyCode);
}
