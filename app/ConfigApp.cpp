#include "ConfigApp.h"

#include "ConfigDialog.h"

BEGIN_MESSAGE_MAP(CConfigApp, CWinApp)
ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

// The one application object. Its title, the caption of every message box,
// is the executable's name: Tolvane.
CConfigApp theApp;

BOOL CConfigApp::InitInstance()
{
    AfxEnableControlContainer();
    Enable3dControls();

    CConfigDialog dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();  // it only ends by Exit, Escape or the close box
    m_pMainWnd = nullptr;

    // FALSE: the program ends here instead of entering a message loop.
    return FALSE;
}
