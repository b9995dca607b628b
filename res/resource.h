// Identifiers of the program's resources and of the controls the code
// addresses. Shared by the resource script and the C++ sources.
#pragma once

#define IDD_ABOUT 100
#define IDS_ABOUT_MENU 101
#define IDD_CONFIG 102
#define IDI_APP 128

// System-menu command of the About item. System commands of the program's
// own must keep the low four bits clear: Windows uses them internally.
#define IDM_ABOUT 0x0010

#define IDC_PORT 1000
#define IDC_DEVICE_NAME 1001
#define IDC_FIRMWARE_VERSION 1002
#define IDC_AUTH_STATUS 1003
#define IDC_PIN_CODE 1004
#define IDC_NEW_NAME 1006
#define IDC_NEW_PIN 1008
#define IDC_CONFIRM_PIN 1009
#define IDC_AUTH_ENABLE 1010
#define IDC_AUTH_DISABLE 1011
#define IDC_EXIT 1012

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
