#pragma once
// A window wrapper holds one HWND it does not own; its methods forward to the API.
// Once subclassed, the window's messages pass through the object's message map
// (OnWndMsg); what the map does not take goes on to the window's own procedure.
#include <windows.h>

#include <string>

class CWnd {
public:
    CWnd() = default;
    explicit CWnd(HWND hwnd) : m_hWnd(hwnd) {}
    // Takes a still subclassed window off this object; the window itself stays.
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    operator HWND() const { return m_hWnd; }

    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const
    {
        return ::SendMessageW(m_hWnd, msg, wp, lp);
    }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageW(m_hWnd, msg, wp, lp); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    std::wstring GetWindowText() const
    {
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
        text.resize(static_cast<size_t>(::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()))));
        return text;
    }
    void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    RECT GetClientRect() const
    {
        RECT rect{};
        ::GetClientRect(m_hWnd, &rect);
        return rect;
    }
    BOOL ShowWindow(int how) const { return ::ShowWindow(m_hWnd, how); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, erase); }

    // Routes the messages of an existing window through this object. Fails when the
    // object already has a window or the window already belongs to another object.
    bool SubclassWindow(HWND hwnd);
    // Hands the window back to its own procedure; returns it.
    HWND UnsubclassWindow();
    // Creates a window that is subclassed before its first message (WM_NCCREATE), so
    // that WM_CREATE reaches the message map. Returns false when creation fails.
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect,
                  HWND parent, UINT id);

    // The object whose message map a window's messages pass through, if any.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Offered each message of the modal loop before it is dispatched, at the window it
    // is addressed to first and then at each parent; TRUE means it was dealt with.
    virtual BOOL PreTranslateMessage(MSG* msg);

    HWND m_hWnd = nullptr;

protected:
    // Message map dispatch: each class scans its own table and then its base's.
    virtual bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // The window's own processing of the message being handled.
    LRESULT Default();
    // The window's own processing of any message.
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // Runs one message through the map the way the window procedure does (exceptions
    // stop here), for messages that arrive before the window was subclassed.
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

private:
    struct CurrentMessage {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    };

    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // A notification whose sender is one of our controls is first offered back to the
    // sender's own map (reflected), as the framework we stand in for does.
    bool ReflectNotify(WPARAM wp, LPARAM lp, LRESULT& result);

    CurrentMessage current_;
    bool subclassed_ = false;
};
