#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "controls/CiStCListCtrl.h"
#include "support/windows/WindowDriver.h"

namespace {

// What the parent is told at the end of an edit: list id, row, column, text, and the
// cell's text at that moment.
using EditEnd = std::tuple<WPARAM, int, int, std::wstring, std::wstring>;

// A dialog with one editable list of three rows ("cell" in column 2), columns 0 and 3
// read-only, beside a
// button (1000). It notes the ends of edits and the files dropped on the list.
class ListHost : public CDialog, public FileDropTarget {
public:
    ListHost() : CDialog(300) {}
    static HWND Editor() { return CiStCListCtrl::GetCellEditor()->m_hWnd; }
    CiStCListCtrl list;
    std::vector<EditEnd> ends;
    std::vector<std::wstring> dropped;

protected:
    void DoDataExchange() override { DDX_Control(1013, list); }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
        list.SetFileDropTarget(this);
        for (int column = 0; column < 4; ++column)
            list.InsertColumn(column, L"", LVCFMT_LEFT, 60);
        list.AddReadOnlyColumn(0);
        list.AddReadOnlyColumn(3);
        for (int row = 0; row < 3; ++row) {
            list.InsertItem(row, L"");
            list.SetItemText(row, 2, L"cell");
        }
        return TRUE;
    }
    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override
    {
        if (msg == WM_CELL_EDIT_END) {
            const LVITEMW& item = reinterpret_cast<const NMLVDISPINFOW*>(lp)->item;
            ends.emplace_back(wp, item.iItem, item.iSubItem, item.pszText, list.GetItemText(item.iItem, item.iSubItem));
        }
        return CDialog::OnWndMsg(msg, wp, lp, result);
    }
    void OnFilesDropped(HDROP drop) override
    {
        wchar_t name[MAX_PATH];
        for (UINT i = 0; i < DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0); ++i)
            dropped.emplace_back(name, DragQueryFileW(drop, i, name, MAX_PATH));
    }
};

// Clicks at a point of the list once what came before is handled (an editor closing, so
// the click can open the next); returns the editor that opened, if any.
HWND ClickAt(UiThread& ui, HWND list, POINT at)
{
    ui.Flush();
    PostClick(list, at);
    return ui.Call(ListHost::Editor);
}

bool CoversCell(HWND editor, HWND list, int row, int column)
{
    RECT at, cell = ListCellRect(list, row, column);
    GetWindowRect(editor, &at);
    MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&at), 2);
    return EqualRect(&at, &cell);
}

}  // namespace

TEST(CellEdit, AClickOpensTheEditorOverAnEditableCellOnlyScrollingItIntoViewAndDropsReachTheTarget)
{
    ListHost host;
    RunModal(host, [&](UiThread& ui) {
        HWND list = host.list.m_hWnd;
        const RECT last = ListCellRect(list, 2, 3);
        for (POINT at : {POINT{ListCellRect(list, 1, 0).left + 5, Centre(last).y}, Centre(ListCellRect(list, 1, 3)),
                         POINT{Centre(last).x, last.bottom + 8}, POINT{last.right + 8, Centre(last).y}})
            EXPECT_EQ(ClickAt(ui, list, at), nullptr) << "an editor opened at " << at.x << "," << at.y;
        ui.Call([&] { host.list.SetItemText(1, 2, L"own text"); });
        HWND editor = ClickAt(ui, list, Centre(ListCellRect(list, 1, 2)));
        ASSERT_NE(editor, nullptr);
        EXPECT_TRUE(CoversCell(editor, list, 1, 2));
        EXPECT_EQ(WindowText(editor), L"own text");
        PostKey(editor, VK_ESCAPE);

        // Column 2 ends beyond the right edge; once it is in view column 1 starts left of the left edge.
        const int width = ui.Call([&] { return host.list.GetClientRect().right; });
        for (auto [column, cx] : {std::pair{0, 100}, {1, width - 150}, {2, 200}})
            ListView_SetColumnWidth(list, column, cx);
        for (auto [column, x, edge] : {std::tuple{2, width - 25, width}, {1, 10, 0}}) {
            editor = ClickAt(ui, list, {x, Centre(ListCellRect(list, 0, column)).y});
            ASSERT_NE(editor, nullptr) << "column " << column;
            const RECT cell = ListCellRect(list, 0, column);
            EXPECT_EQ(column == 2 ? cell.right : cell.left, edge) << "column " << column << " is not in view";
            EXPECT_TRUE(CoversCell(editor, list, 0, column)) << "column " << column;
            PostKey(editor, VK_ESCAPE);
        }
        const std::vector<std::wstring> names = {L"C:\\in\\apOne.dll", L"C:\\in\\two words.txt"};
        PostMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropHandle(names)), 0);
        EXPECT_EQ(ui.Call([&] { return host.dropped; }), names);
    });
}

TEST(CellEdit, EachWayOfEndingAnEditWritesTheCellThenTellsTheParent)
{
    ListHost host;
    RunModal(host, [&](UiThread& ui) {
        HWND list = host.list.m_hWnd, other = GetDlgItem(host.m_hWnd, 1000);
        const std::tuple<const char*, std::function<void(HWND editor)>, const wchar_t*> ways[] = {
            {"Enter", [](HWND editor) { PostKey(editor, VK_RETURN); }, L"typed"},
            {"Escape", [](HWND editor) { PostKey(editor, VK_ESCAPE); }, L"cell"},
            {"a click elsewhere", [&](HWND) { PostClick(other, {5, 5}); }, L"typed"},
            {"WM_HSCROLL", [&](HWND) { PostMessageW(list, WM_HSCROLL, SB_LINERIGHT, 0); }, L"typed"},
            {"WM_VSCROLL", [&](HWND) { PostMessageW(list, WM_VSCROLL, SB_LINEDOWN, 0); }, L"typed"},
            {"WM_MOUSEWHEEL", [&](HWND) { PostMessageW(list, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0); }, L"typed"},
        };
        for (size_t i = 0; i < std::size(ways); ++i) {
            const auto& [way, end, text] = ways[i];
            const int row = static_cast<int>(i % 3);
            HWND editor = ClickAt(ui, list, Centre(ListCellRect(list, row, 2)));
            ASSERT_NE(editor, nullptr) << way;
            PostChars(editor, L"typed");
            end(editor);
            ASSERT_TRUE(WaitFor([&] { return ui.Call([&] { return host.ends.size() == i + 1 && !ListHost::Editor(); }); })) << way;
            EXPECT_EQ(ui.Call([&] { return host.ends.back(); }), EditEnd(1013, row, 2, text, text)) << way;
            EXPECT_EQ(ListText(list, row, 2), text) << way;
        }
    });
}

TEST(CellEdit, TypedAndPastedCharactersOutsideTheAllowedOnesAreRefused)
{
    ListHost host;
    RunModal(host, [&](UiThread& ui) {
        HWND list = host.list.m_hWnd;
        auto paste = [&](HWND editor, const std::wstring& text) {
            ui.Call([&] {
                HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
                wcscpy(static_cast<wchar_t*>(GlobalLock(data)), text.c_str());
                GlobalUnlock(data);
                OpenClipboard(host.m_hWnd);
                EmptyClipboard();
                SetClipboardData(CF_UNICODETEXT, data);
                CloseClipboard();
            });
            PostMessageW(editor, WM_PASTE, 0, 0);
            ui.Flush();
            EXPECT_TRUE(OpenClipboard(nullptr) && CloseClipboard()) << "the clipboard was left open";
        };
        ui.Call([&] { host.list.SetAllowedCharacters(L"0123456789"); });
        HWND editor = ClickAt(ui, list, Centre(ListCellRect(list, 0, 2)));
        PostChars(editor, L"1a2\b");
        ui.Flush();
        EXPECT_EQ(WindowText(editor), L"1") << "a letter got through, or Backspace did not";
        paste(editor, L"34");
        paste(editor, L"5x");
        EXPECT_EQ(WindowText(editor), L"134") << "only the paste of digits goes through";
    });
}
