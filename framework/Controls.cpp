#include "Controls.h"

#include <vector>

int CComboBox::AddString(LPCSTR text)
{
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int CComboBox::SetCurSel(int index)
{
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
}

int CComboBox::GetCurSel() const
{
    return static_cast<int>(SendMessage(CB_GETCURSEL));
}

void CComboBox::GetLBText(int index, CString& text) const
{
    // CB_GETLBTEXT takes no buffer size: the buffer is sized from the entry itself.
    const LRESULT length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR) {
        text.Empty();
        return;
    }
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    if (SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data())) == CB_ERR)
        buffer[0] = '\0';
    text = buffer.data();
}

void CEdit::LimitText(int maxChars)
{
    SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(maxChars));
}
