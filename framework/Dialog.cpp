#include "Dialog.h"

#include "DialogTemplate.h"
#include "WinApp.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_templateId(templateId), m_hWndParent(parent != nullptr ? parent->m_hWnd : nullptr)
{
}

INT_PTR CDialog::DoModal()
{
    const HWND owner = m_hWndParent != nullptr ? m_hWndParent : AfxGetDefaultOwner();
    const INT_PTR result = ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_templateId),
                                             owner, &CDialog::DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    return result;
}

void CDialog::EndDialog(int result) { ::EndDialog(m_hWnd, result); }

BOOL CDialog::OnInitDialog()
{
    CDataExchange dx(this);
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::OnSysCommand(UINT, LPARAM) { Default(); }

void CDialog::OnPaint() { Default(); }

HCURSOR CDialog::OnQueryDragIcon()
{
    Default();
    return nullptr;
}

void CDialog::Default() { m_passToDefault = true; }

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
    // The dialog manager shows the dialog only after WM_INITDIALOG, so it is
    // still hidden here, however its template is styled.
    const bool hiddenBeforeInit = !::IsWindowVisible(m_hWnd);
    RECT rectBeforeInit{};
    ::GetWindowRect(m_hWnd, &rectBeforeInit);

    const BOOL result = OnInitDialog();
    if (hiddenBeforeInit && ShouldCentre(rectBeforeInit))
        CenterWindow();
    return result;
}

// A dialog is centred when OnInitDialog left its place to the framework:
// kept it hidden and where the dialog manager put it, with a template that
// names no place, and the dialog is modal over its owner or has none.
bool CDialog::ShouldCentre(const RECT& rectBeforeInit) const
{
    if (::IsWindowVisible(m_hWnd))
        return false;
    RECT rect{};
    ::GetWindowRect(m_hWnd, &rect);
    if (rect.left != rectBeforeInit.left || rect.top != rectBeforeInit.top)
        return false;
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowEnabled(owner))
        return false;
    return TemplateLeavesPlacementToFramework(AfxGetResourceHandle(), m_templateId);
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
