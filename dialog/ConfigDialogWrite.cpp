// Changing and writing the configuration: the two authentication buttons,
// OK, the guard on the port list and Exit.
#include "ConfigDialog.h"

#include "NewSettings.h"
#include "UserMessages.h"
#include "resource.h"

#include <string>

void CConfigDialog::OnAuthEnable()
{
    m_nAuth = 1;
    // Only firmware 1.3 can take a new PIN together with authentication
    // switched back on; on older firmware the PIN fields stay as they are.
    if (ClassifyFirmware(m_szVersion) == Firmware::V1_3)
        EnableControls({IDC_NEW_PIN, IDC_CONFIRM_PIN}, TRUE);
}

void CConfigDialog::OnAuthDisable()
{
    m_nAuth = 0;
    EnableControls({IDC_NEW_PIN, IDC_CONFIRM_PIN}, FALSE);
}

void CConfigDialog::RestorePortSelection()
{
    // The list is a pick-list: typing into its edit part is undone at once
    // and opens nothing.
    m_comboPort.SetCurSel(m_nPortIndex);
}

void CConfigDialog::OnExit()
{
    m_link.Close();
    CDialog::OnCancel();
}

void CConfigDialog::OnOK()
{
    // OK is grey whenever the device behind the port was not verified. A
    // click can still arrive then (Wine delivers BM_CLICK to a disabled
    // button; another program may send the command): it must not write.
    if (!::IsWindowEnabled(GetDlgItem(IDOK).GetSafeHwnd()))
        return;

    GetDlgItemText(IDC_NEW_NAME, m_strNewName);
    GetDlgItemText(IDC_NEW_PIN, m_strNewPin);
    GetDlgItemText(IDC_CONFIRM_PIN, m_strConfirmPin);

    // The new-name field is never shown, so this is always the device's own name.
    if (m_strNewName.IsEmpty())
        m_strNewName = m_strDeviceName;
    if (ShowSettingsProblem(CheckDeviceName(std::string(m_strNewName))))
        return;

    // Both PIN fields blank keeps the device's PIN: only the authentication
    // setting changes.
    if (m_strNewPin.IsEmpty() && m_strConfirmPin.IsEmpty()) {
        m_strNewPin = m_szDevicePin;
        m_strConfirmPin = m_szDevicePin;
    }
    if (m_strNewPin != m_strConfirmPin) {
        AfxMessageBox(UserMessages::PinsDiffer, MB_OK, 0);
        return;
    }
    if (ShowSettingsProblem(CheckNewPin(std::string(m_strNewPin))))
        return;

    // The device name is not part of the command.
    const LinkResult result = m_link.Configure(m_nAuth, std::string(m_strNewPin));
    if (result == LinkResult::Ok) {
        AfxMessageBox(UserMessages::Configured, MB_OK, 0);
        EnableInfoGroup(FALSE);
        EnableEditGroup(FALSE);
        return;
    }
    AfxMessageBox(ConfigureFailureMessage(result), MB_OK, 0);
    // After a short write every control keeps its state, so the user may press
    // OK again; after a failed write the port must be chosen again first.
    if (result != LinkResult::ShortWrite)
        EnableEditGroup(FALSE);
}

bool CConfigDialog::ShowSettingsProblem(SettingsProblem problem)
{
    const char* message = SettingsProblemMessage(problem);
    if (message != nullptr)
        AfxMessageBox(message, MB_OK, 0);
    return message != nullptr;
}
