#include "controls/CiStCListCtrl.h"

#include <algorithm>

const MessageMapEntry CiStCListCtrl::kMessageMap[] = {
    MapMessage<&CiStCListCtrl::OnHScroll>(WM_HSCROLL),
    MapMessage<&CiStCListCtrl::OnVScroll>(WM_VSCROLL),
    MapMessage<&CiStCListCtrl::OnMouseWheel>(WM_MOUSEWHEEL),
    MapMessage<&CiStCListCtrl::OnMouseWheel>(WM_MOUSEHWHEEL),
    MapMessage<&CiStCListCtrl::OnLButtonDown>(WM_LBUTTONDOWN),
    MapNotifyFromSelf<&CiStCListCtrl::OnEndLabelEdit>(LVN_ENDLABELEDITW),
    MapNotifyFromSelf<&CiStCListCtrl::OnBeginLabelEdit>(LVN_BEGINLABELEDITW),
    MapMessage<&CiStCListCtrl::OnDropFiles>(WM_DROPFILES),
};

bool CiStCListCtrl::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    return DispatchMessageMap(kMessageMap, *this, msg, wp, lp, result) || CListCtrl::OnWndMsg(msg, wp, lp, result);
}

void CiStCListCtrl::AddReadOnlyColumn(int column)
{
    if (!IsReadOnlyColumn(column))
        readOnlyColumns_.push_back(column);
}

bool CiStCListCtrl::IsReadOnlyColumn(int column) const
{
    return std::ranges::find(readOnlyColumns_, column) != readOnlyColumns_.end();
}

CiStEditCtrl* CiStCListCtrl::GetCellEditor()
{
    if (!cellEditor_)
        cellEditor_ = std::make_unique<CiStEditCtrl>();
    return cellEditor_.get();
}

bool CiStCListCtrl::HitTestCell(POINT point, int& row, int& column) const
{
    row = HitTest(point);
    column = 0;
    if ((GetStyle() & LVS_TYPEMASK) != LVS_REPORT)
        return false;
    int columns = GetColumnCount();
    RECT bounds;
    if (!GetItemRect(row, bounds, LVIR_BOUNDS) || !PtInRect(&bounds, point))
        return false;
    for (int left = bounds.left; column < columns; ++column) {
        int width = GetColumnWidth(column);
        if (point.x >= left && point.x <= left + width)
            return true;
        left += width;
    }
    return false;
}

CiStEditCtrl* CiStCListCtrl::StartCellEdit(int row, int column, const std::wstring& text)
{
    CiStEditCtrl* editor = GetCellEditor();
    // The previous edit's window has not closed yet. Leaving its row and column as
    // they are keeps a still open edit writing to its own cell.
    if (editor->m_hWnd != nullptr)
        return editor;

    RECT rect;
    GetItemRect(row, rect, LVIR_BOUNDS);
    ScrollColumnIntoView(column, rect);

    editor->BeginSession({row, column, allowedCharacters_, text});
    editor->CreateEx(0, L"EDIT", L"", WS_CHILD | editStyle_, rect, m_hWnd, 0);
    return editor;
}

void CiStCListCtrl::ScrollColumnIntoView(int column, RECT& rect) const
{
    RECT client = GetClientRect();
    int width = GetColumnWidth(column);
    int offset = 0;
    for (int i = 0; i < column; ++i)
        offset += GetColumnWidth(i);
    int x = rect.left + offset;

    int dx = 0;
    if (x < client.left || x > client.right)
        dx = x;
    else if (x + width > client.right)
        dx = x + width - client.right;
    Scroll(dx, 0);

    rect.left = x - dx;
    rect.right = rect.left + width;
}

void CiStCListCtrl::OnLButtonDown(UINT, POINT point)
{
    int row = -1;
    int column = 0;
    // A click on no cell is swallowed: no selection, focus or click notification.
    if (!HitTestCell(point, row, column))
        return;
    Default();
    if (GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0)
        return;
    std::wstring text = GetItemText(row, column);
    if (row != -1 && GetItemState(row, LVIS_FOCUSED) == LVIS_FOCUSED && !IsReadOnlyColumn(column))
        StartCellEdit(row, column, text);
}

void CiStCListCtrl::TakeFocus() const
{
    if (::GetFocus() != m_hWnd)
        SetFocus();
}

void CiStCListCtrl::OnHScroll(UINT, UINT, HWND)
{
    TakeFocus();
    Default();
}

LRESULT CiStCListCtrl::OnMouseWheel(WPARAM, LPARAM)
{
    // The editor hands the wheel on to the list; the rows would move under it.
    TakeFocus();
    return Default();
}

void CiStCListCtrl::OnVScroll(UINT, UINT, HWND)
{
    TakeFocus();
    Default();
}

void CiStCListCtrl::OnEndLabelEdit(NMHDR* header, LRESULT* result)
{
    *result = 0;
    const auto* record = reinterpret_cast<NMLVDISPINFOW*>(header);
    // The list view's own label editing reports a cancel with no text: the cell stays.
    if (record->item.pszText == nullptr)
        return;
    SetItemText(record->item.iItem, record->item.iSubItem, record->item.pszText);
    ::SendMessageW(GetParent(), WM_CELL_EDIT_END, static_cast<WPARAM>(GetDlgCtrlID()),
                   reinterpret_cast<LPARAM>(header));
}

void CiStCListCtrl::OnBeginLabelEdit(NMHDR* header, LRESULT* result)
{
    const auto* record = reinterpret_cast<NMLVDISPINFOW*>(header);
    *result = IsReadOnlyColumn(record->item.iSubItem) ? 1 : 0;
}

void CiStCListCtrl::OnDropFiles(HDROP drop)
{
    struct Release {
        HDROP drop;
        ~Release() { DragFinish(drop); }
    } release{drop};
    if (dropTarget_ != nullptr)
        dropTarget_->OnFilesDropped(drop);
    Default();
}
