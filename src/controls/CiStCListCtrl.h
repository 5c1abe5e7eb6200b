#pragma once
// A report list whose cells can be edited in place: a left click on a cell of an
// editable column opens the shared cell editor exactly over the cell; when the edit
// ends the list writes the text into the cell and then sends WM_CELL_EDIT_END to its
// parent. Files dropped on the list go to its FileDropTarget.
#include <memory>
#include <string>
#include <vector>

#include "controls/CiStEditCtrl.h"
#include "controls/FileDropTarget.h"
#include "framework/ListCtrl.h"
#include "framework/MessageMap.h"

// Sent (not posted) to the list's parent when an in-place edit has ended: wParam is the
// list's control id, lParam the NMLVDISPINFOW end-of-edit record (row, column, text),
// valid only during the call. The cell already shows the text. The result is ignored.
inline constexpr UINT WM_CELL_EDIT_END = WM_APP + 0x3FD;

class CiStCListCtrl : public CListCtrl {
public:
    CiStCListCtrl() = default;

    // Cells of a read-only column are never edited in place.
    void AddReadOnlyColumn(int column);
    bool IsReadOnlyColumn(int column) const;
    // Characters the editor lets through (empty: no restriction), from the next edit on.
    void SetAllowedCharacters(const std::wstring& characters) { allowedCharacters_ = characters; }
    void SetFileDropTarget(FileDropTarget* target) { dropTarget_ = target; }

    // The row and column of the cell under a point in client coordinates; false when
    // the point is on no cell of a report view. A point on the boundary of two columns
    // belongs to the left one.
    bool HitTestCell(POINT point, int& row, int& column) const;
    // Opens the cell editor over a cell, scrolling its column into view. While the
    // previous edit's window is still closing nothing happens: the click after opens it.
    CiStEditCtrl* StartCellEdit(int row, int column, const std::wstring& text);
    // Scrolls horizontally so that column is in view: its left edge at the left of the
    // client area when it starts outside, else its right edge at the right when it ends
    // outside. rect holds the row's bounds and becomes the cell's rectangle.
    void ScrollColumnIntoView(int column, RECT& rect) const;
    // The editor shared by every list in the process, made on first use and owned by
    // the class: a list going away must not take it from the others.
    static CiStEditCtrl* GetCellEditor();

protected:
    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void OnHScroll(UINT code, UINT position, HWND bar);
    void OnVScroll(UINT code, UINT position, HWND bar);
    LRESULT OnMouseWheel(WPARAM wp, LPARAM lp);
    void OnLButtonDown(UINT keys, POINT point);
    void OnEndLabelEdit(NMHDR* header, LRESULT* result);
    void OnBeginLabelEdit(NMHDR* header, LRESULT* result);
    void OnDropFiles(HDROP drop);

    // Any scroll (bars, wheel) ends an open edit: the list takes the focus from the editor.
    void TakeFocus() const;

    static const MessageMapEntry kMessageMap[];
    static inline std::unique_ptr<CiStEditCtrl> cellEditor_;

    std::vector<int> readOnlyColumns_;
    std::wstring allowedCharacters_;
    DWORD editStyle_ = ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL;
    FileDropTarget* dropTarget_ = nullptr;
};
