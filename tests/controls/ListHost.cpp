#include "ListHost.h"

#include "support/AppDriver.h"

const MessageMapEntry ListHost::kMessageMap[] = {
    MapMessage<&ListHost::OnCellEditEnd>(WM_CELL_EDIT_END),
    MapNotify<&ListHost::OnListClick>(IDC_HOST_LIST, NM_CLICK),
};

bool ListHost::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    return DispatchMessageMap(kMessageMap, *this, msg, wp, lp, result) || CDialog::OnWndMsg(msg, wp, lp, result);
}

BOOL ListHost::OnInitDialog()
{
    CDialog::OnInitDialog();
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int i = 0; i < static_cast<int>(widths.size()); ++i)
        list.InsertColumn(i, L"c" + std::to_wstring(i), LVCFMT_LEFT, widths[static_cast<size_t>(i)]);
    for (int column : readOnly)
        list.AddReadOnlyColumn(column);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const auto& cells = rows[static_cast<size_t>(r)];
        list.InsertItem(r, cells[0]);
        for (int c = 1; c < static_cast<int>(cells.size()); ++c)
            list.SetItemText(r, c, cells[static_cast<size_t>(c)]);
    }
    return TRUE;
}

LRESULT ListHost::OnCellEditEnd(WPARAM wp, LPARAM lp)
{
    const auto* record = reinterpret_cast<const NMLVDISPINFOW*>(lp);
    edits.push_back({wp, record->item.iItem, record->item.iSubItem, record->item.pszText,
                     list.GetItemText(record->item.iItem, record->item.iSubItem)});
    return 1;
}

void ListHost::OnListClick(NMHDR*, LRESULT*)
{
    ++clicks;
}

RECT ListHost::CellRect(int row, int column) const
{
    RECT rect{LVIR_BOUNDS, column, 0, 0};
    list.SendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&rect));
    if (column == 0) {
        // Column 0's sub-item rectangle is the whole row; cut it to the column.
        rect.right = rect.left + list.GetColumnWidth(0);
    }
    return rect;
}

POINT ListHost::CellCentre(int row, int column) const
{
    RECT rect = CellRect(row, column);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

HWND ListHost::Editor() const
{
    return FindChildByClass(list.m_hWnd, L"Edit");
}

std::vector<int> ListHost::SelectedRows() const
{
    std::vector<int> selected;
    for (int i = 0; i < list.GetItemCount(); ++i)
        if (list.IsItemSelected(i))
            selected.push_back(i);
    return selected;
}
