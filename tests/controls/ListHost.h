#pragma once
// A small modal dialog that hosts one editable list, for driving the list through the
// real modal loop. It records what the list tells its parent.
#include <string>
#include <vector>

#include "ListHostIds.h"
#include "controls/CiStCListCtrl.h"
#include "framework/Dialog.h"

struct EditEnd {
    WPARAM id;
    int row;
    int column;
    std::wstring text;
    // The cell's text while the parent was being told.
    std::wstring cellText;
};

class ListHost : public CDialog {
public:
    ListHost() : CDialog(IDD_LIST_HOST) {}

    // Column widths in pixels; columns 0 and 3 are read-only unless readOnly says else.
    std::vector<int> widths = {60, 70, 80, 50};
    std::vector<int> readOnly = {0, 3};
    std::vector<std::vector<std::wstring>> rows = {
        {L"s0", L"m0", L"menu zero", L"v0"},
        {L"s1", L"m1", L"menu one", L"v1"},
        {L"s2", L"m2", L"", L"v2"},
    };

    CiStCListCtrl list;
    // UI thread only.
    std::vector<EditEnd> edits;
    int clicks = 0;

    // Cell (row, column)'s rectangle in the list's client coordinates.
    RECT CellRect(int row, int column) const;
    POINT CellCentre(int row, int column) const;
    // The open cell editor's window, or null.
    HWND Editor() const;
    std::vector<int> SelectedRows() const;

protected:
    void DoDataExchange() override { DDX_Control(IDC_HOST_LIST, list); }
    BOOL OnInitDialog() override;
    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    LRESULT OnCellEditEnd(WPARAM wp, LPARAM lp);
    void OnListClick(NMHDR* header, LRESULT* result);

    static const MessageMapEntry kMessageMap[];
};
