// Wrappers of the common controls the dialogs use. Like CWnd they hold only
// the control's handle; DDX_Control fills it in.
#pragma once

#include "CString.h"
#include "Wnd.h"

// A combo box (CB_ messages).
class CComboBox : public CWnd {
public:
    // Adds an entry (at the end of an unsorted list); returns its index.
    int AddString(LPCSTR text);
    // Selects entry `index`; -1 clears the selection.
    int SetCurSel(int index);
    // The selected entry's index, or CB_ERR (-1) when none is selected.
    int GetCurSel() const;
    // The text of entry `index`; an index with no entry gives an empty text.
    void GetLBText(int index, CString& text) const;
};

// A single-line edit control (EM_ messages).
class CEdit : public CWnd {
public:
    // The most characters the user may type (EM_LIMITTEXT).
    void LimitText(int maxChars);
};
