#pragma once
// A modal dialog made from a dialog template, run by its own modal loop so that every
// message is offered to PreTranslateMessage at the window it is addressed to and then
// at each parent up to the dialog, before the dialog manager's keyboard handling.
#include "framework/MessageMap.h"
#include "framework/Wnd.h"

class CDialog : public CWnd {
public:
    // The template is a dialog resource of the executable; parent is disabled while
    // the dialog runs.
    explicit CDialog(UINT templateId, HWND parent = nullptr) : templateId_(templateId), parent_(parent) {}

    // Creates the dialog, runs it until EndDialog and destroys it. Returns the value
    // given to EndDialog, or -1 when the dialog could not be created.
    virtual INT_PTR DoModal();
    // Ends the modal loop once the current message is handled.
    void EndDialog(INT_PTR result);

    // The innermost dialog running modally on this thread; its window owns message boxes.
    static HWND ActiveModalWindow();

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    // Binds the controls (DoDataExchange); returns TRUE to let the dialog manager set
    // the focus.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange() {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Routes the messages of control id through control's message map.
    void DDX_Control(int id, CWnd& control);

    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void RunModalLoop();
    bool PreTranslateTree(MSG& msg);

    static const MessageMapEntry kMessageMap[];

    UINT templateId_;
    HWND parent_;
    INT_PTR result_ = -1;
    bool continueModal_ = false;
};
