#include "WinApp.h"

#include "CString.h"

#include <string>

namespace {

CWinApp* g_app = nullptr;

std::string ExecutablePath()
{
    // GetModuleFileNameA fills the buffer without a NUL when the path does not fit.
    constexpr std::size_t LongestPath = 32768;
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size() || path.size() >= LongestPath) {
            path.resize(length < path.size() ? length : path.size());
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string TitleFromPath(const std::string& path)
{
    const std::size_t nameStart = path.find_last_of("\\/:");
    std::string name = nameStart == std::string::npos ? path : path.substr(nameStart + 1);
    const std::size_t extensionStart = name.rfind('.');
    if (extensionStart != std::string::npos && extensionStart > 0)
        name.erase(extensionStart);
    return name;
}

}  // namespace

CWinApp::CWinApp()
{
    g_app = this;
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

BOOL CWinApp::Enable3dControls()
{
    return TRUE;
}

void CWinApp::OnHelp() {}

CWinApp* AfxGetApp()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    return g_app != nullptr ? g_app->m_pMainWnd : nullptr;
}

LPCSTR AfxGetAppName()
{
    static const CString title(TitleFromPath(ExecutablePath()).c_str());
    return title;
}

HWND AfxGetDefaultOwner()
{
    const CWnd* mainWindow = AfxGetMainWnd();
    if (mainWindow != nullptr && mainWindow->m_hWnd != nullptr)
        return mainWindow->m_hWnd;
    return ::GetActiveWindow();
}

HINSTANCE AfxGetResourceHandle()
{
    return ::GetModuleHandleA(nullptr);
}

void AfxEnableControlContainer() {}

int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr || !app->InitInstance())
        return 0;

    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
