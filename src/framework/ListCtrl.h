#pragma once
// Report-view list-view control: thin forwards to the LVM_* messages.
#include "framework/Wnd.h"

#include <commctrl.h>

#include <string>

class CListCtrl : public CWnd {
public:
    BOOL DeleteAllItems() const { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }

    // Inserts an item at index with the text of column 0; returns its index or -1.
    int InsertItem(int index, const std::wstring& text) const
    {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = const_cast<LPWSTR>(text.c_str());
        return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    // Sets column 0 through LVM_SETITEMW, as the owner of the item's main text.
    BOOL SetItem(int index, const std::wstring& text) const
    {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = index;
        item.pszText = const_cast<LPWSTR>(text.c_str());
        return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    }
    BOOL SetItemText(int index, int column, const std::wstring& text) const
    {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = const_cast<LPWSTR>(text.c_str());
        return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(index),
                                             reinterpret_cast<LPARAM>(&item)));
    }
    std::wstring GetItemText(int index, int column) const
    {
        // LVM_GETITEMTEXTW gives no length: grow the buffer until the text fits.
        std::wstring buffer(256, L'\0');
        for (;;) {
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = buffer.data();
            item.cchTextMax = static_cast<int>(buffer.size());
            auto n = static_cast<size_t>(SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(index),
                                                     reinterpret_cast<LPARAM>(&item)));
            if (n + 1 < buffer.size()) {
                buffer.resize(n);
                return buffer;
            }
            buffer.resize(buffer.size() * 2);
        }
    }
    BOOL DeleteItem(int index) const { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index))); }
    UINT GetItemState(int index, UINT mask) const
    {
        return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(index), mask));
    }
    bool IsItemSelected(int index) const { return GetItemState(index, LVIS_SELECTED) == LVIS_SELECTED; }

    // Replaces the whole extended style (mask 0 stands for every bit).
    DWORD SetExtendedStyle(DWORD style) const
    {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style));
    }
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    // Inserts a column at index; returns its index or -1.
    int InsertColumn(int index, const std::wstring& heading, int format, int width) const
    {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = format;
        column.cx = width;
        column.pszText = const_cast<LPWSTR>(heading.c_str());
        column.iSubItem = index;
        return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(&column)));
    }
    int GetColumnWidth(int column) const
    {
        return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column)));
    }
    HWND GetHeaderCtrl() const { return reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)); }
    int GetColumnCount() const { return static_cast<int>(::SendMessageW(GetHeaderCtrl(), HDM_GETITEMCOUNT, 0, 0)); }
    // The item under a point in client coordinates, or -1.
    int HitTest(POINT point) const
    {
        LVHITTESTINFO info{};
        info.pt = point;
        return static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    }
    // The item's rectangle of the given part (LVIR_BOUNDS, ...) in client coordinates.
    bool GetItemRect(int index, RECT& rect, int part) const
    {
        rect = RECT{part, 0, 0, 0};
        if (SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)))
            return true;
        rect = RECT{};
        return false;
    }
    // Scrolls by dx, dy pixels in report view.
    BOOL Scroll(int dx, int dy) const { return static_cast<BOOL>(SendMessage(LVM_SCROLL, static_cast<WPARAM>(dx), dy)); }
};
