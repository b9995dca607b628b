// The dialog framework the program is written against: a small layer of its
// own over plain Win32 (user32, gdi32, kernel32).
//
//   CString          growable ANSI text
//   CWnd             a window by its handle: child controls, texts, messages
//   CComboBox, CEdit control wrappers
//   CMenu            the system menu
//   CPaintDC         the device context of one WM_PAINT
//   CDialog          a modal dialog from a template, with its message map
//   CDataExchange    DDX_Control: binds control wrappers
//   CWinApp          the application object; AfxWinMain runs it
//   AfxMessageBox    message boxes captioned with the application's title
#pragma once

#include "CString.h"
#include "Controls.h"
#include "DataExchange.h"
#include "Dialog.h"
#include "Menu.h"
#include "MessageBox.h"
#include "MessageMap.h"
#include "PaintDC.h"
#include "WinApp.h"
#include "Wnd.h"
