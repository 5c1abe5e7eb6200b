#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/TQ2ZULSetupDlg.h"
#include "menu/CodePage949.h"
#include "support/AppDriver.h"
#include "support/MessageBoxCatcher.h"
#include "support/ModuleFactory.h"
#include "support/TestSupport.h"
#include "support/UiThread.h"

namespace {

// The setup dialog, also noting the commands and edit ends that reach it.
class ObservedDlg : public CTQ2ZULSetupDlg {
public:
    std::vector<int> commands;
    std::vector<std::pair<WPARAM, std::wstring>> editEnds;

protected:
    bool OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override
    {
        if (msg == WM_COMMAND)
            commands.push_back(LOWORD(wp));
        if (msg == WM_CELL_EDIT_END)
            editEnds.emplace_back(wp, reinterpret_cast<const NMLVDISPINFOW*>(lp)->item.pszText);
        return CTQ2ZULSetupDlg::OnWndMsg(msg, wp, lp, result);
    }
};

}  // namespace

TEST(SetupDialog, StartsWithTheWarningThenShowsTheInitialisedDialog)
{
    TempDir host;
    SetHostRegistryValue(host.Path());
    ObservedDlg dialog;
    bool visibleAtWarning = true;
    int columnsAtWarning = 0;
    MessageBoxCatcher catcher([&](HWND) {
        visibleAtWarning = IsWindowVisible(dialog.m_hWnd);
        columnsAtWarning = dialog.moduleList.GetColumnCount();
    });
    RunModal(dialog, [&](UiThread& ui) {
        EXPECT_EQ(catcher.Texts(), std::vector<std::wstring>{std::wstring(kStartWarning)});
        EXPECT_FALSE(visibleAtWarning) << "the warning must come before the dialog shows";
        EXPECT_EQ(columnsAtWarning, 4) << "the warning must come after the list is set up";

        ui.Call([&] {
            EXPECT_EQ(dialog.GetWindowText(), kSetupCaption);
            EXPECT_EQ(dialog.GetStyle() & (WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_CAPTION))
                << "a caption without system menu or close box";
            EXPECT_TRUE(GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
            std::vector<std::pair<int, std::wstring>> controls;
            for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
                controls.emplace_back(GetDlgCtrlID(c), WindowText(c));
            EXPECT_EQ(controls, (std::vector<std::pair<int, std::wstring>>{{IDOK, L"CLOSE"},
                                                                           {IDC_ADD_MODULE, L"ZUL 모듈 추가"},
                                                                           {IDC_DELETE_SELECTED, L"선택삭제"},
                                                                           {IDC_MODULE_LIST, L""},
                                                                           {IDCANCEL, L"적용"}}))
                << "controls in tab order";

            CiStCListCtrl& list = dialog.moduleList;
            EXPECT_EQ(list.GetDlgCtrlID(), IDC_MODULE_LIST);
            EXPECT_TRUE(GetWindowLongPtrW(list, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
            EXPECT_EQ(list.GetExtendedStyle(), static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
            const std::pair<std::wstring, int> columns[] = {{L"상태", 60}, {L"dll명칭", 250}, {L"메뉴명칭", 180}, {L"버젼", 80}};
            for (int i = 0; i < 4; ++i) {
                wchar_t heading[64] = {};
                LVCOLUMNW column{};
                column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
                column.pszText = heading;
                column.cchTextMax = 64;
                list.SendMessage(LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
                EXPECT_EQ(heading, columns[i].first);
                EXPECT_EQ(column.cx, columns[i].second) << Utf8(heading);
                EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
                EXPECT_EQ(list.IsReadOnlyColumn(i), i != 2) << "column " << i;
            }
            EXPECT_EQ(dialog.hostInstallPath, host.Path());
            EXPECT_EQ(dialog.addInFolder, host.Path() + L"\\zul_ap");
            EXPECT_EQ(dialog.rememberedFolder, TestBinFolder());
            EXPECT_EQ(dialog.catalogue.names.GetSize(), 37);
            EXPECT_EQ(list.GetItemCount(), 0) << "no menu file, no rows";
            EXPECT_NE(dialog.m_hIcon, nullptr);
            EXPECT_EQ(reinterpret_cast<HICON>(dialog.SendMessage(WM_GETICON, ICON_BIG)), dialog.m_hIcon);
        });
    });
}

TEST(SetupDialog, ListsTheModulesOfTheMenuFile)
{
    TempDir host;
    std::wstring addIn = host / L"zul_ap";
    CreateDirectoryW(addIn.c_str(), nullptr);
    MakeModuleDll(addIn + L"\\apDraftAssist.dll", {L"DraftAssist", L"Draft", L"2.3.4.5"});
    std::string menu;
    ASSERT_FALSE(EncodeCp949(L"\"DraftAssist\" \"도면 보조\" \"CAD\" \"REGULAR\"\r\n", menu).has_value());
    WriteFileBytes(addIn + L"\\zulmenu.txt", menu);
    SetHostRegistryValue(host.Path());
    CTQ2ZULSetupDlg dialog;
    MessageBoxCatcher catcher;
    RunModal(dialog, [&](UiThread& ui) {
        ui.Call([&] {
            ASSERT_EQ(dialog.moduleList.GetItemCount(), 1);
            std::vector<std::wstring> shown;
            for (int column = 0; column < 4; ++column)
                shown.push_back(dialog.moduleList.GetItemText(0, column));
            EXPECT_EQ(shown, (std::vector<std::wstring>{L"", L"apDraftAssist", L"도면 보조", L"2.3.4.5"}));
            EXPECT_EQ(dialog.table.GetCount(), 1);
            EXPECT_TRUE(dialog.catalogue.IsPresent(dialog.catalogue.Find(L"apDraftAssist.dll")));
        });
    });
}

TEST(SetupDialog, WithoutHostEnterAndEscapePressNothingAndOnlyCloseEndsIt)
{
    DeleteHostRegistryKey();
    ObservedDlg dialog;
    MessageBoxCatcher catcher;
    INT_PTR result = RunModal(dialog, [&](UiThread& ui) {
        EXPECT_EQ(catcher.Texts(), std::vector<std::wstring>{std::wstring(kStartWarning)});
        EXPECT_EQ(ui.Call([&] { return dialog.addInFolder; }), L"");
        HWND hwnd = ui.Call([&] { return dialog.m_hWnd; });
        for (int id : {IDOK, IDC_ADD_MODULE, IDC_DELETE_SELECTED, IDC_MODULE_LIST, IDCANCEL}) {
            HWND control = GetDlgItem(hwnd, id);
            ui.Call([&] { SetFocus(control); });
            PostKey(control, VK_RETURN);
            PostKey(control, VK_ESCAPE);
        }
        ui.Flush();
        EXPECT_TRUE(ui.Call([&] { return dialog.commands; }).empty()) << "Enter or Escape pressed a button";

        PressButton(hwnd, IDCANCEL);
        ui.Flush();
        EXPECT_EQ(ui.Call([&] { return dialog.commands; }), std::vector<int>{IDCANCEL});
        EXPECT_TRUE(IsWindow(hwnd)) << "Apply closed the dialog";

        PressButton(hwnd, IDOK);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(hwnd); })) << "CLOSE did not close the dialog";
    });
    EXPECT_EQ(result, IDOK);
}

TEST(SetupDialog, MenuNameEditsReachTheDialogAndTheirKeysPressNoButton)
{
    DeleteHostRegistryKey();
    ObservedDlg dialog;
    MessageBoxCatcher catcher;
    RunModal(dialog, [&](UiThread& ui) {
        HWND list = ui.Call([&] {
            dialog.table.AppendAddedRow({kStatusAdded, L"apFoo.dll", L"apFoo", L"Foo menu", L"C:\\in\\apFoo.dll"}, L"1.0");
            return dialog.moduleList.m_hWnd;
        });
        POINT menuCell = ui.Call([&] {
            RECT rect{LVIR_BOUNDS, kColumnMenuName, 0, 0};
            dialog.moduleList.SendMessage(LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
            return POINT{rect.left + 5, (rect.top + rect.bottom) / 2};
        });
        size_t ends = 0;
        for (UINT key : {VK_RETURN, VK_ESCAPE}) {
            PostClick(list, menuCell);
            ui.Flush();
            HWND editor = ui.Call([&] { return FindChildByClass(list, L"Edit"); });
            ASSERT_NE(editor, nullptr);
            PostChars(editor, L"New name");
            PostKey(editor, key);
            ASSERT_TRUE(ui.WaitUntil([&] { return dialog.editEnds.size() == ends + 1; }));
            ++ends;
        }
        using End = std::pair<WPARAM, std::wstring>;
        EXPECT_EQ(ui.Call([&] { return dialog.editEnds; }),
                  (std::vector<End>{{IDC_MODULE_LIST, L"New name"}, {IDC_MODULE_LIST, L"New name"}}))
            << "Enter keeps the typed name, Escape brings back the cell's";
        EXPECT_TRUE(ui.Call([&] { return dialog.commands; }).empty()) << "a key in the editor pressed a button";
        EXPECT_TRUE(IsWindow(ui.Call([&] { return dialog.m_hWnd; })));
    });
}

TEST(SetupDialog, TheProgramIgnoresArgumentsWarnsShowsTheDialogAndEndsWithClose)
{
    DeleteHostRegistryKey();
    RunningApp app(BuiltExePath(), L"--unknown /x C:\\nothing");
    ASSERT_NE(app.WaitForWindow(L"#32770", L"TQ2ZULSetup"), nullptr) << "no warning box";
    EXPECT_EQ(app.Windows(L"#32770").size(), 1u) << "the dialog showed before the warning was answered";
    std::wstring warning;
    HWND dialog = DismissWarningAndFindDialog(app, &warning);
    EXPECT_EQ(warning, kStartWarning);
    ASSERT_NE(dialog, nullptr) << "no setup dialog";
    PressButton(dialog, IDOK);
    ASSERT_TRUE(app.WaitForExit(std::chrono::seconds(30))) << "CLOSE did not end the program";
    DWORD code = 1;
    GetExitCodeProcess(app.Process(), &code);
    EXPECT_EQ(code, 0u);
}
