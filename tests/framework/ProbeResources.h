// Resources of the framework's test program: one small dialog.
#pragma once

#define IDD_PROBE 200
#define IDS_PROBE_TEXT 201
#define IDS_MISSING 202  // no such string
#define IDC_PROBE_BUTTON 300
#define IDC_PROBE_COMBO 301
#define IDC_PROBE_EDIT 302
#define IDC_PROBE_STATUS 303
#define IDC_PROBE_OTHER 304
#define ID_PROBE_COPY 400  // copies the edit's text to the status label
#define ID_PROBE_SAY 401   // shows a message box
#define ID_PROBE_APP 402   // a command only the application handles
