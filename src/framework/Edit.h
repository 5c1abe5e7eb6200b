#pragma once
// Single-line edit control: thin forwards to the EM_* messages.
#include "framework/Wnd.h"

class CEdit : public CWnd {
public:
    void SetSel(int start, int end) const { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void ScrollCaret() const { SendMessage(EM_SCROLLCARET); }
};
