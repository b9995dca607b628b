#include "MessageBoxCentring.h"

#include "InitialPlacement.h"
#include "Wnd.h"

namespace {

constexpr char DialogClass[] = "#32770";

// The box being watched, on this thread: its own window procedure while the
// framework's stands in front of it, up to the end of WM_INITDIALOG.
thread_local WNDPROC t_boxProc = nullptr;
thread_local bool t_watching = false;  // a box was found: later dialogs are not it

LRESULT CALLBACK WatchSetUp(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC boxProc = t_boxProc;
    if (message != WM_INITDIALOG)
        return ::CallWindowProcA(boxProc, box, message, wParam, lParam);

    // The set-up is all there is to watch: the box's own procedure takes
    // every later message directly.
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(box, GWLP_WNDPROC)) == &WatchSetUp)
        ::SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(boxProc));
    const InitialPlacement placement(box);
    const LRESULT result = ::CallWindowProcA(boxProc, box, message, wParam, lParam);
    if (placement.LeftToFramework())
        CWnd(box).CenterWindow();
    return result;
}

bool IsTopLevelDialog(HWND window, const CREATESTRUCTA& create)
{
    char className[sizeof DialogClass + 1] = {};
    ::GetClassNameA(window, className, static_cast<int>(sizeof className));
    return (create.style & WS_CHILD) == 0 && lstrcmpA(className, DialogClass) == 0;
}

LRESULT CALLBACK WatchForBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && !t_watching) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        const auto* create = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
        if (create->lpcs != nullptr && IsTopLevelDialog(window, *create->lpcs)) {
            t_watching = true;
            t_boxProc = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchSetUp)));
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

MessageBoxCentring::MessageBoxCentring()
    : m_hHook(::SetWindowsHookExA(WH_CBT, &WatchForBox, nullptr, ::GetCurrentThreadId())),
      m_outerBoxProc(t_boxProc), m_outerWatching(t_watching)
{
    t_boxProc = nullptr;
    t_watching = false;
}

MessageBoxCentring::~MessageBoxCentring()
{
    if (m_hHook != nullptr)
        ::UnhookWindowsHookEx(m_hHook);
    t_boxProc = m_outerBoxProc;
    t_watching = m_outerWatching;
}
