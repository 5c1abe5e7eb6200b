#include "controls/CiStEditCtrl.h"

#include <algorithm>

namespace {

// Control characters that always pass the typed-character filter: copy, Backspace,
// paste and cut.
constexpr wchar_t kAlwaysAllowed[] = {0x03, 0x08, 0x16, 0x18};

// The clipboard's text, empty when it holds none or cannot be opened.
std::wstring ClipboardText(HWND owner)
{
    std::wstring text;
    if (!OpenClipboard(owner))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text.assign(chars, wcsnlen(chars, GlobalSize(data) / sizeof(wchar_t)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace

const MessageMapEntry CiStEditCtrl::kMessageMap[] = {
    MapMessage<&CiStEditCtrl::OnKillFocus>(WM_KILLFOCUS),
    MapMessage<&CiStEditCtrl::OnChar>(WM_CHAR),
    MapMessage<&CiStEditCtrl::OnPaste>(WM_PASTE),
    MapMessage<&CiStEditCtrl::OnCreate>(WM_CREATE),
};

bool CiStEditCtrl::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    return DispatchMessageMap(kMessageMap, *this, msg, wp, lp, result) || CEdit::OnWndMsg(msg, wp, lp, result);
}

int CiStEditCtrl::OnCreate(CREATESTRUCTW*)
{
    if (Default() == -1)
        return -1;
    SendMessage(WM_SETFONT, ::SendMessageW(GetParent(), WM_GETFONT, 0, 0), TRUE);
    ShowWindow(SW_SHOW);
    SetWindowText(session_.initialText);
    SetSel(0, -1);
    ScrollCaret();
    SetFocus();
    return 0;
}

BOOL CiStEditCtrl::PreTranslateMessage(MSG* msg)
{
    if (msg->message == WM_KEYDOWN) {
        // Handing the focus back to the list ends the edit (OnKillFocus).
        if (msg->wParam == VK_ESCAPE) {
            cancelled_ = true;
            ::SetFocus(GetParent());
            return TRUE;
        }
        if (msg->wParam == VK_RETURN) {
            ::SetFocus(GetParent());
            return TRUE;
        }
    }
    return CEdit::PreTranslateMessage(msg);
}

void CiStEditCtrl::OnKillFocus(HWND)
{
    Default();
    HWND list = GetParent();
    std::wstring text = cancelled_ ? session_.initialText : GetWindowText();

    NMLVDISPINFOW record{};
    record.hdr.hwndFrom = list;
    record.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    record.hdr.code = LVN_ENDLABELEDITW;
    record.item.mask = LVIF_TEXT;
    record.item.iItem = session_.row;
    record.item.iSubItem = session_.column;
    record.item.pszText = text.data();
    record.item.cchTextMax = static_cast<int>(text.size());
    ::SendMessageW(list, WM_NOTIFY, static_cast<WPARAM>(::GetDlgCtrlID(list)), reinterpret_cast<LPARAM>(&record));

    // Closed once the current message is over; the object stays for the next edit.
    if (m_hWnd != nullptr)
        PostMessage(WM_CLOSE);
}

void CiStEditCtrl::OnChar(UINT ch, UINT, UINT)
{
    auto c = static_cast<wchar_t>(ch);
    if (session_.allowedCharacters.empty() || IsAllowed(c) || std::ranges::find(kAlwaysAllowed, c) != std::end(kAlwaysAllowed))
        Default();
    else
        MessageBeep(MB_ICONEXCLAMATION);
}

LRESULT CiStEditCtrl::OnPaste(WPARAM, LPARAM)
{
    // With no restriction a paste goes through like typing does.
    if (session_.allowedCharacters.empty())
        return Default();
    // The check reads the Unicode text, which is what the edit control will insert.
    std::wstring text = ClipboardText(m_hWnd);
    if (text.empty() || !std::ranges::all_of(text, [this](wchar_t c) { return IsAllowed(c); }))
        return 0;
    return Default();
}
