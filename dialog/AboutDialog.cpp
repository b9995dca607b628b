#include "AboutDialog.h"

#include "resource.h"

CAboutDialog::CAboutDialog() : CDialog(IDD_ABOUT) {}
