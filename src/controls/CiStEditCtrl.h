#pragma once
// The single-line editor placed over a list cell. It opens with the cell's text
// selected, may restrict what is typed or pasted, and ends the edit whenever it loses
// the focus: it reports the text to its parent list as LVN_ENDLABELEDITW and closes its
// window. One object serves every edit; its window is made anew for each.
#include <string>

#include "framework/Edit.h"
#include "framework/MessageMap.h"

// The cell one edit is about, set by the list before the editor's window is made.
struct CellEditSession {
    int row = -1;
    int column = -1;
    // When not empty, the only characters that may be typed (besides the clipboard and
    // Backspace control characters) or pasted.
    std::wstring allowedCharacters;
    // The cell's text when the edit began: shown first, and sent back on Escape.
    std::wstring initialText;
};

class CiStEditCtrl : public CEdit {
public:
    BOOL PreTranslateMessage(MSG* msg) override;

    void BeginSession(const CellEditSession& session)
    {
        session_ = session;
        cancelled_ = false;
    }
    const CellEditSession& GetSession() const { return session_; }

protected:
    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void OnKillFocus(HWND newFocus);
    void OnChar(UINT ch, UINT repeat, UINT flags);
    LRESULT OnPaste(WPARAM wp, LPARAM lp);
    int OnCreate(CREATESTRUCTW* create);

    bool IsAllowed(wchar_t ch) const { return session_.allowedCharacters.find(ch) != std::wstring::npos; }

    CellEditSession session_;
    bool cancelled_ = false;

    static const MessageMapEntry kMessageMap[];
};
