#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "ListHost.h"
#include "support/AppDriver.h"
#include "support/TestSupport.h"
#include "support/UiThread.h"

namespace {

void Click(UiThread& ui, ListHost& host, int row, int column, WPARAM keys = 0)
{
    PostClick(host.list.m_hWnd, ui.Call([&] { return host.CellCentre(row, column); }), keys);
    ui.Flush();
}

// Clicks a cell and waits for the editor; returns it.
HWND OpenEditor(UiThread& ui, ListHost& host, int row, int column)
{
    Click(ui, host, row, column);
    HWND editor = ui.Call([&] { return host.Editor(); });
    if (editor == nullptr)
        throw std::runtime_error("no editor opened on cell " + std::to_string(row) + "," + std::to_string(column));
    return editor;
}

// Waits until the edit ended and the editor closed; returns the last end-of-edit record.
EditEnd Ended(UiThread& ui, ListHost& host, size_t count)
{
    if (!ui.WaitUntil([&] { return host.edits.size() == count && host.Editor() == nullptr; }))
        throw std::runtime_error("the edit did not end");
    return ui.Call([&] { return host.edits.back(); });
}

using Box = std::tuple<long, long, long, long>;
Box BoxOf(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
Box BoxIn(HWND child, HWND parent)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return BoxOf(rect);
}

void SetClipboardText(HWND owner, const std::wstring& text)
{
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(data), text.c_str(), bytes);
    GlobalUnlock(data);
    if (!OpenClipboard(owner))
        throw std::runtime_error("cannot open the clipboard");
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();
}

std::wstring ClipboardText()
{
    std::wstring text;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    return text;
}

}  // namespace

TEST(CellEdit, ClickOpensEditorOnlyOnEditableCellsEnterCommitsEscapeRestores)
{
    ListHost host;
    RunModal(host, [&](UiThread& ui) {
        HWND list = host.list.m_hWnd;
        for (int column : {0, 3}) {
            Click(ui, host, 1, column);
            EXPECT_EQ(ui.Call([&] { return host.SelectedRows(); }), std::vector<int>{1}) << "column " << column;
            EXPECT_EQ(ui.Call([&] { return host.Editor(); }), nullptr) << "read-only column " << column << " edited";
        }
        EXPECT_EQ(ui.Call([&] { return host.clicks; }), 2) << "the parent hears of clicks on read-only cells";

        HWND editor = OpenEditor(ui, host, 0, 1);
        EXPECT_EQ(ui.Call([&] { return host.SelectedRows(); }), std::vector<int>{0});
        EXPECT_EQ(BoxIn(editor, list), BoxOf(ui.Call([&] { return host.CellRect(0, 1); }))) << "the editor covers the cell";
        EXPECT_TRUE(IsWindowVisible(editor));
        EXPECT_EQ(ui.Call([] { return GetFocus(); }), editor);
        EXPECT_EQ(WindowText(editor), L"m0");
        DWORD start = 0, end = 0;
        SendMessageW(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(std::pair(start, end), std::pair(0ul, 2ul)) << "the whole initial text is selected";

        PostChars(editor, L"xy");
        PostKey(editor, VK_RETURN);
        EditEnd edit = Ended(ui, host, 1);
        EXPECT_EQ(edit.id, static_cast<WPARAM>(IDC_HOST_LIST));
        EXPECT_EQ(std::pair(edit.row, edit.column), std::pair(0, 1));
        EXPECT_EQ(edit.text, L"xy") << "typing replaces the selected text";
        EXPECT_EQ(edit.cellText, L"xy") << "the cell is written before the parent is told";
        EXPECT_EQ(ui.Call([&] { return host.list.GetItemText(0, 1); }), L"xy");
        EXPECT_EQ(ui.Call([] { return GetFocus(); }), list);
        EXPECT_NE(ui.Call([&] { return host.m_hWnd; }), nullptr) << "Enter reached the dialog";

        // Escape, also on an empty cell, which is still reported.
        for (auto [row, initial] : {std::pair{1, L"menu one"}, {2, L""}}) {
            editor = OpenEditor(ui, host, row, 2);
            PostChars(editor, L"zzz");
            PostKey(editor, VK_ESCAPE);
            edit = Ended(ui, host, static_cast<size_t>(row) + 1);
            EXPECT_EQ(edit.row, row);
            EXPECT_EQ(edit.text, initial) << "row " << row;
            EXPECT_EQ(edit.cellText, initial) << "row " << row;
            EXPECT_EQ(ui.Call([] { return GetFocus(); }), list);
            EXPECT_NE(ui.Call([&] { return host.m_hWnd; }), nullptr) << "Escape reached the dialog";
        }
    });
}

TEST(CellEdit, LosingTheFocusAnyWayCommitsAndAClickWhileClosingOpensNothing)
{
    ListHost host;
    RunModal(host, [&](UiThread& ui) {
        HWND list = host.list.m_hWnd;
        HWND other = ui.Call([&] { return host.GetDlgItem(IDC_HOST_OTHER); });
        struct Way {
            const char* name;
            std::function<void(HWND editor)> leave;
        } ways[] = {
            {"click elsewhere", [&](HWND) { PostClick(other, {5, 5}); }},
            {"Tab", [&](HWND editor) { PostKey(editor, VK_TAB); }},
            {"vertical scroll", [&](HWND) { PostMessageW(list, WM_VSCROLL, SB_LINEDOWN, 0); }},
            {"horizontal scroll", [&](HWND) { PostMessageW(list, WM_HSCROLL, SB_LINERIGHT, 0); }},
            {"click on another cell", [&](HWND) { Click(ui, host, 1, 2); }},
        };
        size_t count = 0;
        for (const Way& way : ways) {
            int row = static_cast<int>(count % 2);
            HWND editor = OpenEditor(ui, host, row, 2);
            std::wstring typed = L"typed " + std::to_wstring(count);
            PostChars(editor, typed);
            way.leave(editor);
            EditEnd edit = Ended(ui, host, ++count);
            EXPECT_EQ(edit.row, row) << way.name;
            EXPECT_EQ(edit.text, typed) << way.name;
            EXPECT_EQ(edit.cellText, typed) << way.name;
        }
        ui.Flush();
        EXPECT_EQ(ui.Call([&] { return host.Editor(); }), nullptr) << "an editor opened on the committing click";
        EXPECT_EQ(ui.Call([&] { return host.SelectedRows(); }), std::vector<int>{1});

        HWND editor = OpenEditor(ui, host, 1, 2);
        EXPECT_EQ(WindowText(editor), L"typed 3") << "the new editor shows its own cell";
        PostKey(editor, VK_RETURN);
        EXPECT_EQ(Ended(ui, host, count + 1).row, 1) << "the new editor edits its own cell";
    });
}

TEST(CellEdit, ClicksOnNoCellOrWithShiftOrCtrlOpenNothing)
{
    ListHost host;
    RunModal(host, [&](UiThread& ui) {
        HWND list = host.list.m_hWnd;
        Click(ui, host, 1, 0);
        RECT last = ui.Call([&] { return host.CellRect(2, 1); });
        RECT lastColumn = ui.Call([&] { return host.CellRect(0, 3); });
        PostClick(list, {(last.left + last.right) / 2, last.bottom + 8});
        PostClick(list, {lastColumn.right + 10, (lastColumn.top + lastColumn.bottom) / 2});
        ui.Flush();
        EXPECT_EQ(ui.Call([&] { return host.SelectedRows(); }), std::vector<int>{1}) << "a missed click changed the selection";
        EXPECT_EQ(ui.Call([&] { return host.clicks; }), 1) << "a missed click reached the parent";
        EXPECT_EQ(ui.Call([&] { return host.Editor(); }), nullptr);

        struct Modified {
            UINT key;
            WPARAM flag;
            int row;
            std::vector<int> selected;
        };
        for (const Modified& m : {Modified{VK_SHIFT, MK_SHIFT, 2, {1, 2}}, Modified{VK_CONTROL, MK_CONTROL, 0, {0, 1, 2}}}) {
            ui.Call([&] { SetKeyDown(m.key, true); });
            Click(ui, host, m.row, 2, m.flag);
            ui.Call([&] { SetKeyDown(m.key, false); });
            EXPECT_EQ(ui.Call([&] { return host.SelectedRows(); }), m.selected) << "key " << m.key;
            EXPECT_EQ(ui.Call([&] { return host.Editor(); }), nullptr) << "a click with key " << m.key << " opened an editor";
        }

        OpenEditor(ui, host, 0, 2);

        ui.Call([&] {
            RECT row;
            host.list.GetItemRect(1, row, LVIR_BOUNDS);
            int y = (row.top + row.bottom) / 2;
            int r = -1, c = -1;
            int boundary = row.left + 60 + 70;
            EXPECT_TRUE(host.list.HitTestCell({boundary, y}, r, c));
            EXPECT_EQ(std::pair(r, c), std::pair(1, 1)) << "a point on a boundary belongs to the left column";
            EXPECT_TRUE(host.list.HitTestCell({boundary + 1, y}, r, c));
            EXPECT_EQ(c, 2);
            SetWindowLongPtrW(host.list, GWL_STYLE, (host.list.GetStyle() & ~LVS_TYPEMASK) | LVS_LIST);
            EXPECT_FALSE(host.list.HitTestCell({row.left + 5, y}, r, c)) << "only a report view has cells";
        });
    });
}

TEST(CellEdit, PartlyHiddenColumnsScrollIntoView)
{
    ListHost host;
    RunModal(host, [&](UiThread& ui) {
        HWND list = host.list.m_hWnd;
        // Column 2 starts inside the client area and ends beyond it.
        int width = ui.Call([&] {
            int w = host.list.GetClientRect().right;
            for (auto [column, cx] : {std::pair{0, 100}, {1, w - 150}, {2, 200}, {3, 50}})
                host.list.SendMessage(LVM_SETCOLUMNWIDTH, column, cx);
            return w;
        });
        PostClick(list, {width - 25, ui.Call([&] { return host.CellCentre(0, 2).y; })});
        ASSERT_TRUE(ui.WaitUntil([&] { return host.Editor() != nullptr; }));
        RECT cell = ui.Call([&] { return host.CellRect(0, 2); });
        EXPECT_EQ(cell.right, width) << "the column's right edge is at the client's right";
        EXPECT_EQ(BoxIn(ui.Call([&] { return host.Editor(); }), list), BoxOf(cell));
        PostKey(ui.Call([&] { return host.Editor(); }), VK_ESCAPE);
        Ended(ui, host, 1);

        // Column 1 now starts left of the client area.
        PostClick(list, {10, ui.Call([&] { return host.CellCentre(0, 1).y; })});
        ASSERT_TRUE(ui.WaitUntil([&] { return host.Editor() != nullptr; }));
        cell = ui.Call([&] { return host.CellRect(0, 1); });
        EXPECT_EQ(cell.left, 0) << "the column's left edge is at the client's left";
        EXPECT_EQ(BoxIn(ui.Call([&] { return host.Editor(); }), list), BoxOf(cell));
    });
}

TEST(CellEdit, TypedAndPastedCharactersAreFiltered)
{
    ListHost host;
    RunModal(host, [&](UiThread& ui) {
        auto paste = [&](HWND editor, const std::wstring& text) {
            ui.Call([&] { SetClipboardText(ui.Window(), text); });
            PostChars(editor, L"\x16");
            ui.Flush();
        };
        ui.Call([&] { host.list.SetAllowedCharacters(L"0123456789"); });
        HWND editor = OpenEditor(ui, host, 0, 2);
        PostChars(editor, L"1a2");
        ui.Flush();
        EXPECT_EQ(WindowText(editor), L"12") << "a letter got through";
        PostChars(editor, L"\x08");
        ui.Flush();
        EXPECT_EQ(WindowText(editor), L"1") << "Backspace";
        paste(editor, L"34");
        EXPECT_EQ(WindowText(editor), L"134") << "a paste of digits";
        paste(editor, L"5x6");
        EXPECT_EQ(WindowText(editor), L"134") << "a paste with a letter";
        SendMessageW(editor, EM_SETSEL, 0, -1);
        PostChars(editor, L"\x03");
        ui.Flush();
        EXPECT_EQ(ui.Call([] { return ClipboardText(); }), L"134") << "Ctrl+C";
        PostChars(editor, L"\x18");
        ui.Flush();
        EXPECT_EQ(WindowText(editor), L"") << "Ctrl+X";
        PostKey(editor, VK_RETURN);
        Ended(ui, host, 1);

        // With no restriction a paste goes through.
        ui.Call([&] { host.list.SetAllowedCharacters(L""); });
        editor = OpenEditor(ui, host, 1, 2);
        paste(editor, L"ab!");
        EXPECT_EQ(WindowText(editor), L"ab!");
    });
}

TEST(CellEdit, PlatformLabelEditingIsRefusedOnReadOnlyColumnsAndItsCancelChangesNothing)
{
    ListHost host;
    host.readOnly = {3};
    RunModal(host, [&](UiThread& ui) {
        HWND list = host.list.m_hWnd;
        ui.Call([&] {
            SetWindowLongPtrW(list, GWL_STYLE, host.list.GetStyle() | LVS_EDITLABELS);
            ASSERT_NE(host.list.SendMessage(LVM_EDITLABELW, 0), 0) << "column 0 is editable here";
            host.list.SendMessage(LVM_CANCELEDITLABEL);
            EXPECT_EQ(host.list.GetItemText(0, 0), L"s0");
            EXPECT_TRUE(host.edits.empty()) << "a cancelled label edit reached the parent";

            NMLVDISPINFOW cancel{};
            cancel.hdr = {list, 0, LVN_ENDLABELEDITW};
            cancel.item.iItem = 1;
            cancel.item.mask = LVIF_TEXT;
            host.list.SendMessage(WM_NOTIFY, IDC_HOST_LIST, reinterpret_cast<LPARAM>(&cancel));
            EXPECT_EQ(host.list.GetItemText(1, 0), L"s1");
            EXPECT_TRUE(host.edits.empty()) << "an end-of-edit record without text reached the parent";

            host.list.AddReadOnlyColumn(0);
            EXPECT_EQ(host.list.SendMessage(LVM_EDITLABELW, 2), 0) << "label editing of a read-only column";
        });
    });
}

TEST(CellEdit, DroppedFilesReachTheDropTargetInOrder)
{
    struct Recorder : FileDropTarget {
        std::vector<std::wstring> names;
        void OnFilesDropped(HDROP drop) override
        {
            UINT n = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < n; ++i) {
                wchar_t name[MAX_PATH];
                DragQueryFileW(drop, i, name, static_cast<UINT>(std::size(name)));
                names.push_back(name);
            }
        }
    } recorder;
    ListHost host;
    RunModal(host, [&](UiThread& ui) {
        HWND list = host.list.m_hWnd;
        ui.Call([&] { host.list.SetFileDropTarget(&recorder); });
        HDROP drop = MakeDropHandle({L"C:\\in\\apOne.dll", L"C:\\in\\two words.txt"});
        PostMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        ASSERT_TRUE(ui.WaitUntil([&] { return !recorder.names.empty(); }));
        EXPECT_EQ(ui.Call([&] { return recorder.names; }),
                  (std::vector<std::wstring>{L"C:\\in\\apOne.dll", L"C:\\in\\two words.txt"}));
    });
}
