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
};
