// CConfigDialog: the program's main window. It walks the user through the
// seven steps printed on it: choosing a port in the list reads the device
// behind it and shows what it holds; OK writes a new authentication setting
// and PIN to it.
//
// Two groups of controls change together, always in this order:
//   info group: IDC_DEVICE_NAME, IDC_FIRMWARE_VERSION, IDC_AUTH_STATUS, IDC_PIN_CODE
//   edit group: IDC_NEW_NAME, IDC_AUTH_ENABLE, IDC_AUTH_DISABLE, IDC_NEW_PIN,
//               IDC_CONFIRM_PIN, IDOK
// The port list is never disabled.
#pragma once

#include "DeviceInfo.h"
#include "LinkResult.h"
#include "DeviceLink.h"
#include "NewSettings.h"
#include "Framework.h"
#include "SerialPort.h"

#include <cstdint>
#include <initializer_list>
#include <memory>

class CConfigDialog : public CDialog {
public:
    CConfigDialog();  // on the system's serial ports
    // On `port` instead of the system's serial port: the seam tests use to
    // make a port fail in ways a real one rarely does.
    explicit CConfigDialog(std::unique_ptr<SerialPort> port);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;  // writes the configuration; never ends the dialog

    // Reading a device (ConfigDialog.cpp).
    void QueryDevice();

    // Changing and writing the configuration (ConfigDialogWrite.cpp).
    void RestorePortSelection();
    void OnAuthEnable();
    void OnAuthDisable();
    void OnExit();

    // Window chrome (ConfigDialogChrome.cpp).
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();

private:
    void AddAboutItemToSystemMenu();
    void SetWindowIcons();

    void FillPortList();
    void ShowQueryFailure(LinkResult result);
    bool ShowSettingsProblem(SettingsProblem problem);  // true when there was one
    void StoreDevice(const DeviceInfo& info);
    void ShowDevice(const DeviceInfo& info);

    void EnableControls(std::initializer_list<int> ids, BOOL enable);
    void EnableInfoGroup(BOOL enable);
    void EnableEditGroup(BOOL enable);

    CEdit m_editConfirmPin;
    CEdit m_editNewPin;
    CComboBox m_comboPort;
    HICON m_hIcon;
    DeviceLink m_link;  // the one port; kept open until another is chosen or Exit

    // Texts of the edit fields, read when OK is pressed.
    CString m_strNewName;
    CString m_strConfirmPin;
    CString m_strNewPin;

    // The device read last; changed only by a query that succeeds.
    CString m_strDeviceName;
    char m_szDevicePin[DeviceInfo::PinSize] = {};
    std::int32_t m_nAuth = 0;  // also set by Enable and Disable
    char m_szVersion[DeviceInfo::VersionSize] = {};
    char m_szEcho[DeviceInfo::EchoSize] = {};

    int m_nPortIndex = 0;  // the port list's selection, restored when typed over

    DECLARE_MESSAGE_MAP()
};
