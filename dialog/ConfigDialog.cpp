// The main window's set-up and the query: choosing a port reads the device.
#include "ConfigDialog.h"

#include "ComPortNames.h"
#include "ConfigTexts.h"
#include "UserMessages.h"
#include "resource.h"

#include <cstring>
#include <string>

BEGIN_MESSAGE_MAP(CConfigDialog, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_CBN_EDITCHANGE(IDC_PORT, &CConfigDialog::RestorePortSelection)
ON_CBN_SELCHANGE(IDC_PORT, &CConfigDialog::QueryDevice)
ON_BN_CLICKED(IDC_AUTH_ENABLE, &CConfigDialog::OnAuthEnable)
ON_BN_CLICKED(IDC_AUTH_DISABLE, &CConfigDialog::OnAuthDisable)
ON_BN_CLICKED(IDC_EXIT, &CConfigDialog::OnExit)
END_MESSAGE_MAP()

namespace {

constexpr int SelectEntryIndex = 0;

}  // namespace

CConfigDialog::CConfigDialog() : CConfigDialog(CreateSystemSerialPort()) {}

CConfigDialog::CConfigDialog(std::unique_ptr<SerialPort> port)
    : CDialog(IDD_CONFIG),
      m_hIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_APP))),
      m_link(std::move(port))
{}

void CConfigDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CONFIRM_PIN, m_editConfirmPin);
    DDX_Control(pDX, IDC_NEW_PIN, m_editNewPin);
    DDX_Control(pDX, IDC_PORT, m_comboPort);
}

BOOL CConfigDialog::OnInitDialog()
{
    CDialog::OnInitDialog();  // binds the controls

    AddAboutItemToSystemMenu();
    SetWindowIcons();

    FillPortList();
    for (int id : {IDC_DEVICE_NAME, IDC_FIRMWARE_VERSION, IDC_AUTH_STATUS, IDC_PIN_CODE})
        SetDlgItemText(id, "");  // the template's placeholders never show
    EnableEditGroup(FALSE);
    m_editNewPin.LimitText(MaxPinLength);
    m_editConfirmPin.LimitText(MaxPinLength);
    return TRUE;
}

void CConfigDialog::FillPortList()
{
    m_comboPort.AddString(ConfigTexts::SelectEntry);
    for (int port = FirstComPort; port <= LastListedComPort; ++port)
        m_comboPort.AddString(ComPortName(port).c_str());
    m_comboPort.SetCurSel(SelectEntryIndex);
    m_nPortIndex = m_comboPort.GetCurSel();
}

void CConfigDialog::QueryDevice()
{
    // No selection at all counts as the "Select" entry: there is no port to open.
    m_nPortIndex = m_comboPort.GetCurSel();
    if (m_nPortIndex == CB_ERR)
        m_nPortIndex = SelectEntryIndex;
    if (m_nPortIndex == SelectEntryIndex) {
        AfxMessageBox(UserMessages::SelectPortFirst, MB_OK, 0);
        return;
    }

    m_link.Close();
    m_comboPort.SetCurSel(m_nPortIndex);
    CString entry;
    m_comboPort.GetLBText(m_nPortIndex, entry);
    const PortAddress port = ComPortAddress(static_cast<LPCSTR>(entry));

    DeviceInfo info;
    LinkResult result = m_link.Open(port.target);
    if (result == LinkResult::Ok)
        result = m_link.Query(info);

    if (result != LinkResult::Ok) {
        // A port whose device was not read and verified must not be written
        // to: whatever went wrong, OK and the fields that feed it go grey.
        // The information texts keep showing the last device read.
        ShowQueryFailure(result);
        EnableEditGroup(FALSE);
        return;
    }
    StoreDevice(info);
    ShowDevice(info);
}

void CConfigDialog::ShowQueryFailure(LinkResult result)
{
    // A device with firmware of another kind is passed over without a word.
    if (const char* message = QueryFailureMessage(result))
        AfxMessageBox(message, MB_OK, 0);
}

void CConfigDialog::StoreDevice(const DeviceInfo& info)
{
    m_strDeviceName = info.name.c_str();
    std::memcpy(m_szDevicePin, info.pin, sizeof m_szDevicePin);
    m_nAuth = info.auth != 0 ? 1 : 0;
    std::memcpy(m_szVersion, info.version, sizeof m_szVersion);
    std::memcpy(m_szEcho, info.echo, sizeof m_szEcho);
}

void CConfigDialog::ShowDevice(const DeviceInfo& info)
{
    if (ClassifyFirmware(m_szVersion) == Firmware::V1_1) {
        // 1.1 has no name display: its field keeps whatever it showed.
        EnableControls({IDC_DEVICE_NAME}, FALSE);
        EnableControls({IDC_FIRMWARE_VERSION, IDC_AUTH_STATUS, IDC_PIN_CODE}, TRUE);
        EnableControls({IDC_NEW_NAME}, FALSE);
        EnableControls({IDC_AUTH_ENABLE, IDC_AUTH_DISABLE, IDC_NEW_PIN, IDC_CONFIRM_PIN, IDOK}, TRUE);
    } else {
        EnableInfoGroup(TRUE);
        EnableEditGroup(TRUE);
        SetDlgItemText(IDC_DEVICE_NAME, info.displayName.c_str());
    }
    SetDlgItemText(IDC_FIRMWARE_VERSION, m_szVersion);
    SetDlgItemText(IDC_AUTH_STATUS, m_nAuth != 0 ? ConfigTexts::AuthRequired : ConfigTexts::AuthNotRequired);
    SetDlgItemText(IDC_PIN_CODE, m_szDevicePin);
    // A button left checked from the device read before would show a choice
    // that OK does not send: OK sends m_nAuth, which now holds this device's
    // setting. With neither checked, the status field is what OK keeps.
    CheckDlgButton(IDC_AUTH_ENABLE, BST_UNCHECKED);
    CheckDlgButton(IDC_AUTH_DISABLE, BST_UNCHECKED);
}

void CConfigDialog::EnableControls(std::initializer_list<int> ids, BOOL enable)
{
    for (int id : ids)
        GetDlgItem(id).EnableWindow(enable);
}

void CConfigDialog::EnableInfoGroup(BOOL enable)
{
    EnableControls({IDC_DEVICE_NAME, IDC_FIRMWARE_VERSION, IDC_AUTH_STATUS, IDC_PIN_CODE}, enable);
}

void CConfigDialog::EnableEditGroup(BOOL enable)
{
    EnableControls({IDC_NEW_NAME, IDC_AUTH_ENABLE, IDC_AUTH_DISABLE, IDC_NEW_PIN, IDC_CONFIRM_PIN, IDOK}, enable);
}
