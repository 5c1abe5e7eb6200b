#pragma once
// Single-line edit control: thin forwards to the EM_* messages.
#include "framework/Wnd.h"

#include <utility>

class CEdit : public CWnd {
public:
    void SetSel(int start, int end) const { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
    // Start and end of the selection, in characters.
    std::pair<int, int> GetSel() const
    {
        DWORD start = 0;
        DWORD end = 0;
        SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }
    void ScrollCaret() const { SendMessage(EM_SCROLLCARET); }
};
