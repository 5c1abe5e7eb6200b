#include "framework/Wnd.h"

#include <commctrl.h>

#include <iterator>
#include <utility>

namespace {

constexpr UINT_PTR kSubclassId = 1;
// Names the object a window belongs to, so the modal loop and notification
// reflection can find it from a handle.
constexpr wchar_t kObjectProperty[] = L"TQ2ZULSetup.CWnd";

// A creation in progress on this thread: the object that takes the first window of
// its class created while the creation hook is installed.
struct PendingCreation {
    CWnd* wnd;
    const wchar_t* className;
};
thread_local PendingCreation* t_pending = nullptr;

bool HasClass(HWND hwnd, const wchar_t* className)
{
    wchar_t name[256];
    if (GetClassNameW(hwnd, name, static_cast<int>(std::size(name))) == 0)
        return false;
    // Under a common-controls manifest a class may carry a version prefix ("6.0...!Edit").
    const wchar_t* bang = wcsrchr(name, L'!');
    return lstrcmpiW(bang ? bang + 1 : name, className) == 0;
}

LRESULT CALLBACK CreationHook(int code, WPARAM wp, LPARAM lp)
{
    if (code == HCBT_CREATEWND && t_pending != nullptr && t_pending->wnd != nullptr) {
        auto hwnd = reinterpret_cast<HWND>(wp);
        if (HasClass(hwnd, t_pending->className))
            std::exchange(t_pending->wnd, nullptr)->SubclassWindow(hwnd);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

CWnd::~CWnd()
{
    if (subclassed_)
        UnsubclassWindow();
}

bool CWnd::SubclassWindow(HWND hwnd)
{
    if (m_hWnd != nullptr || hwnd == nullptr || FromHandlePermanent(hwnd) != nullptr)
        return false;
    if (!SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    SetPropW(hwnd, kObjectProperty, this);
    m_hWnd = hwnd;
    subclassed_ = true;
    return true;
}

HWND CWnd::UnsubclassWindow()
{
    HWND hwnd = std::exchange(m_hWnd, nullptr);
    if (subclassed_ && hwnd != nullptr) {
        RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
        RemovePropW(hwnd, kObjectProperty);
    }
    subclassed_ = false;
    return hwnd;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect,
                    HWND parent, UINT id)
{
    if (m_hWnd != nullptr)
        return false;
    PendingCreation pending{this, className};
    PendingCreation* outer = std::exchange(t_pending, &pending);
    HHOOK hook = SetWindowsHookExW(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    HWND hwnd = CreateWindowExW(exStyle, className, text, style, rect.left, rect.top, rect.right - rect.left,
                                rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
    if (hook != nullptr)
        UnhookWindowsHookEx(hook);
    t_pending = outer;
    if (hwnd == nullptr)
        return false;
    // Without the hook the window still works, only its creation went unseen.
    if (m_hWnd != hwnd)
        SubclassWindow(hwnd);
    return m_hWnd == hwnd;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    if (hwnd == nullptr)
        return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process != GetCurrentProcessId())
        return nullptr;
    return static_cast<CWnd*>(GetPropW(hwnd, kObjectProperty));
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

bool CWnd::OnWndMsg(UINT, WPARAM, LPARAM, LRESULT&)
{
    return false;
}

LRESULT CWnd::Default()
{
    return DefWindowProc(current_.message, current_.wParam, current_.lParam);
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (!subclassed_ || m_hWnd == nullptr)
        return 0;
    return DefSubclassProc(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::HandleMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    CurrentMessage outer = std::exchange(current_, CurrentMessage{msg, wp, lp});
    LRESULT result = 0;
    try {
        result = WindowProc(msg, wp, lp);
    } catch (...) {
        // Nothing may unwind through the system's code that called us; leave a trace
        // for a debugger instead.
        OutputDebugStringW(L"TQ2ZULSetup: a window procedure ended by an exception\n");
        result = 0;
    }
    current_ = outer;
    return result;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
    auto* self = reinterpret_cast<CWnd*>(data);
    if (msg == WM_NCDESTROY) {
        // The last message: let go of the window before the system frees it.
        self->UnsubclassWindow();
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    return self->HandleMessage(msg, wp, lp);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    LRESULT result = 0;
    if (msg == WM_NOTIFY && ReflectNotify(wp, lp, result))
        return result;
    if (OnWndMsg(msg, wp, lp, result))
        return result;
    return DefWindowProc(msg, wp, lp);
}

bool CWnd::ReflectNotify(WPARAM wp, LPARAM lp, LRESULT& result)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lp);
    if (header == nullptr)
        return false;
    CWnd* sender = FromHandlePermanent(header->hwndFrom);
    return sender != nullptr && sender->OnWndMsg(WM_NOTIFY, wp, lp, result);
}
