#include "framework/MessageMap.h"

#include "framework/Wnd.h"

namespace {

bool Matches(const MessageMapEntry& entry, HWND self, UINT msg, WPARAM wp, LPARAM lp)
{
    if (entry.message != msg)
        return false;
    if (msg == WM_COMMAND)
        return LOWORD(wp) == entry.id && HIWORD(wp) == entry.code;
    if (msg == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (header == nullptr || header->code != entry.code)
            return false;
        bool fromSelf = header->hwndFrom == self;
        if (entry.id == kNotifyFromSelf)
            return fromSelf;
        return !fromSelf && header->idFrom == entry.id;
    }
    return true;
}

}  // namespace

bool DispatchMessageMap(std::span<const MessageMapEntry> map, CWnd& self, UINT msg, WPARAM wp, LPARAM lp,
                        LRESULT& result)
{
    for (const MessageMapEntry& entry : map) {
        if (Matches(entry, self.m_hWnd, msg, wp, lp)) {
            result = entry.handler(self, wp, lp);
            return true;
        }
    }
    return false;
}
