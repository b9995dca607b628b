// Changing and writing the configuration: the two authentication buttons,
// OK, the guard on the port list and Exit.
#include "ConfigDialog.h"

#include "ConfigTexts.h"
#include "resource.h"

#include <string>

namespace {

// The device splits the configure command at spaces, so a PIN holding one
// (or any other blank or control character) would not arrive as typed.
bool HasBlankOrControlCharacter(const CString& pin)
{
    for (const char* c = pin; *c != '\0'; ++c) {
        if (static_cast<unsigned char>(*c) <= ' ')
            return true;
    }
    return false;
}

}  // namespace

void CConfigDialog::OnAuthEnable()
{
    m_nAuth = 1;
    // Only firmware 1.3 can take a new PIN together with authentication
    // switched back on; on older firmware the PIN fields stay as they are.
    if (ClassifyFirmware(m_szVersion) == Firmware::V1_3)
        EnableControls({ IDC_NEW_PIN, IDC_CONFIRM_PIN }, TRUE);
}

void CConfigDialog::OnAuthDisable()
{
    m_nAuth = 0;
    EnableControls({ IDC_NEW_PIN, IDC_CONFIRM_PIN }, FALSE);
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
    if (m_strNewName.GetLength() > MaxNameLength) {
        AfxMessageBox(ConfigTexts::NameTooLong, MB_OK, 0);
        return;
    }

    // Both PIN fields blank keeps the device's PIN: only the authentication
    // setting changes.
    if (m_strNewPin.IsEmpty() && m_strConfirmPin.IsEmpty()) {
        m_strNewPin = m_szDevicePin;
        m_strConfirmPin = m_szDevicePin;
    }
    if (m_strNewPin != m_strConfirmPin) {
        AfxMessageBox(ConfigTexts::PinsDiffer, MB_OK, 0);
        return;
    }
    if (m_strNewPin.GetLength() > MaxPinLength) {
        AfxMessageBox(ConfigTexts::PinTooLong, MB_OK, 0);
        return;
    }
    if (HasBlankOrControlCharacter(m_strNewPin)) {
        AfxMessageBox(ConfigTexts::PinHasSpace, MB_OK, 0);
        return;
    }

    // The device name is not part of the command.
    switch (m_link.Configure(m_nAuth, std::string(m_strNewPin))) {
    case LinkResult::Ok:
        AfxMessageBox(ConfigTexts::Configured, MB_OK, 0);
        EnableInfoGroup(FALSE);
        EnableEditGroup(FALSE);
        break;
    case LinkResult::ShortWrite:
        // Every control keeps its state: the user may press OK again.
        AfxMessageBox(ConfigTexts::ShortWrite, MB_OK, 0);
        break;
    case LinkResult::WriteFailed:
    default:  // the configure command has no other outcome
        AfxMessageBox(ConfigTexts::CannotWriteDevice, MB_OK, 0);
        EnableEditGroup(FALSE);
        break;
    }
}
