#pragma once
// Message maps as data. Each window class declares a static table of entries
// {message, control id, notification code, handler}, in the order its design lists
// the handlers; DispatchMessageMap scans it and the first matching entry wins.
//
//   const MessageMapEntry CMyDlg::kMessageMap[] = {
//       MapNotify<&CMyDlg::OnListClick>(IDC_LIST, NM_CLICK),
//       MapMessage<&CMyDlg::OnPaint>(WM_PAINT),
//       MapCommand<&CMyDlg::OnAdd>(IDC_ADD, BN_CLICKED),
//   };
//
// A handler's parameters say how the message is unpacked:
//   ()                                    commands, WM_PAINT, WM_QUERYDRAGICON, WM_INITDIALOG
//   (WPARAM, LPARAM)                      private messages, WM_PASTE
//   (NMHDR*, LRESULT* result)             notifications
//   (UINT keys, POINT client)             mouse buttons
//   (UINT code, UINT position, HWND bar)  WM_HSCROLL, WM_VSCROLL
//   (UINT ch, UINT repeat, UINT flags)    WM_CHAR
//   (HWND other)                          WM_KILLFOCUS, WM_SETFOCUS
//   (HDROP)                               WM_DROPFILES
//   (CREATESTRUCTW*)                      WM_CREATE
// and its result (none, a number or a handle) becomes the message result.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <span>
#include <type_traits>

class CWnd;

struct MessageMapEntry {
    UINT message;
    UINT id;    // control id for WM_COMMAND and WM_NOTIFY
    UINT code;  // notification code for WM_COMMAND and WM_NOTIFY
    LRESULT (*handler)(CWnd& self, WPARAM wp, LPARAM lp);
};

// Control id of entries for notifications whose sender is the window itself: sent to
// it by a child of its own, or handed back to it by its parent.
inline constexpr UINT kNotifyFromSelf = 0xFFFFFFFFu;

// Runs the first entry of map that matches the message; false when none does.
bool DispatchMessageMap(std::span<const MessageMapEntry> map, CWnd& self, UINT msg, WPARAM wp, LPARAM lp,
                        LRESULT& result);

namespace message_map_detail {

template <class Member>
struct ClassOf;
template <class C, class F>
struct ClassOf<F C::*> {
    using type = C;
};

template <class R, class Call>
LRESULT AsResult(Call call)
{
    if constexpr (std::is_void_v<R>) {
        call();
        return 0;
    } else if constexpr (std::is_pointer_v<R>) {
        return reinterpret_cast<LRESULT>(call());
    } else {
        return static_cast<LRESULT>(call());
    }
}

template <class C, class R>
LRESULT Crack(C& self, R (C::*handler)(), WPARAM, LPARAM)
{
    return AsResult<R>([&] { return (self.*handler)(); });
}
template <class C, class R>
LRESULT Crack(C& self, R (C::*handler)(WPARAM, LPARAM), WPARAM wp, LPARAM lp)
{
    return AsResult<R>([&] { return (self.*handler)(wp, lp); });
}
template <class C>
LRESULT Crack(C& self, void (C::*handler)(NMHDR*, LRESULT*), WPARAM, LPARAM lp)
{
    LRESULT result = 0;
    (self.*handler)(reinterpret_cast<NMHDR*>(lp), &result);
    return result;
}
template <class C>
LRESULT Crack(C& self, void (C::*handler)(UINT, POINT), WPARAM wp, LPARAM lp)
{
    // Coordinates are signed: left of or above the client area they are negative.
    (self.*handler)(static_cast<UINT>(wp), POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
    return 0;
}
template <class C>
LRESULT Crack(C& self, void (C::*handler)(UINT, UINT, HWND), WPARAM wp, LPARAM lp)
{
    (self.*handler)(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
    return 0;
}
template <class C>
LRESULT Crack(C& self, void (C::*handler)(UINT, UINT, UINT), WPARAM wp, LPARAM lp)
{
    (self.*handler)(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
    return 0;
}
template <class C>
LRESULT Crack(C& self, void (C::*handler)(HWND), WPARAM wp, LPARAM)
{
    (self.*handler)(reinterpret_cast<HWND>(wp));
    return 0;
}
template <class C>
LRESULT Crack(C& self, void (C::*handler)(HDROP), WPARAM wp, LPARAM)
{
    (self.*handler)(reinterpret_cast<HDROP>(wp));
    return 0;
}
template <class C, class R>
LRESULT Crack(C& self, R (C::*handler)(CREATESTRUCTW*), WPARAM, LPARAM lp)
{
    return AsResult<R>([&] { return (self.*handler)(reinterpret_cast<CREATESTRUCTW*>(lp)); });
}

template <auto Handler>
LRESULT Invoke(CWnd& wnd, WPARAM wp, LPARAM lp)
{
    using Owner = typename ClassOf<decltype(Handler)>::type;
    return Crack(static_cast<Owner&>(wnd), Handler, wp, lp);
}

}  // namespace message_map_detail

template <auto Handler>
constexpr MessageMapEntry MapMessage(UINT message)
{
    return {message, 0, 0, &message_map_detail::Invoke<Handler>};
}
template <auto Handler>
constexpr MessageMapEntry MapCommand(UINT id, UINT code)
{
    return {WM_COMMAND, id, code, &message_map_detail::Invoke<Handler>};
}
template <auto Handler>
constexpr MessageMapEntry MapNotify(UINT id, UINT code)
{
    return {WM_NOTIFY, id, code, &message_map_detail::Invoke<Handler>};
}
template <auto Handler>
constexpr MessageMapEntry MapNotifyFromSelf(UINT code)
{
    return {WM_NOTIFY, kNotifyFromSelf, code, &message_map_detail::Invoke<Handler>};
}
