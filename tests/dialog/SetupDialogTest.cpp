#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/CiStCStringArray.h"
#include "app/TQ2ZULSetupDlg.h"
#include "menu/CodePage949.h"
#include "support/AppDriver.h"
#include "support/MessageBoxCatcher.h"
#include "support/ModuleFactory.h"
#include "support/TestSupport.h"
#include "support/UiThread.h"

namespace {

// Spelled out here rather than taken from the program, so that a changed text shows.
const std::wstring kWarning =
    L"TOLVAN-QUORAL2 가 구동되어 있으면, 정상 설치가 안됩니다. \nTOLVAN-QUORAL2 를 종료해주세요.";

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

// Runs the dialog modally while script drives it; closes it afterwards if still open.
INT_PTR RunDialog(CTQ2ZULSetupDlg& dialog, const std::function<void(UiThread&)>& script)
{
    INT_PTR result = 0;
    RunScript([&] { result = dialog.DoModal(); },
              [&](UiThread& ui) {
                  if (!ui.WaitUntil([&] { return dialog.m_hWnd != nullptr && IsWindowVisible(dialog.m_hWnd); }))
                      throw std::runtime_error("the setup dialog did not appear");
                  script(ui);
              },
              [&] {
                  if (dialog.m_hWnd != nullptr)
                      dialog.EndDialog(IDOK);
              });
    return result;
}

// Dialog resource 102 as stored in the program, read field by field.
struct TemplateItem {
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, w = 0, h = 0, id = 0;
    std::wstring className, text;
};
struct DialogTemplate {
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, w = 0, h = 0;
    std::wstring caption, typeface;
    int pointSize = 0, weight = 0, italic = 0, charset = 0;
    std::vector<TemplateItem> items;
};

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : p_(data), start_(data) {}
    template <class T>
    T Take()
    {
        T value;
        memcpy(&value, p_, sizeof(T));
        p_ += sizeof(T);
        return value;
    }
    std::wstring Text()
    {
        std::wstring text;
        for (wchar_t c; (c = Take<wchar_t>()) != 0;)
            text += c;
        return text;
    }
    // A name or a predefined ordinal (0xFFFF, n).
    std::wstring NameOrOrdinal()
    {
        auto first = Take<WORD>();
        if (first == 0)
            return L"";
        if (first == 0xFFFF) {
            switch (Take<WORD>()) {
            case 0x80: return L"BUTTON";
            case 0x81: return L"EDIT";
            case 0x82: return L"STATIC";
            default: return L"?";
            }
        }
        p_ -= sizeof(WORD);
        return Text();
    }
    void AlignToDword()
    {
        while ((p_ - start_) % 4 != 0)
            ++p_;
    }

private:
    const BYTE* p_;
    const BYTE* start_;
};

DialogTemplate ReadDialogTemplate(int id)
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    if (found == nullptr)
        throw std::runtime_error("no dialog resource");
    TemplateReader in(static_cast<const BYTE*>(LockResource(LoadResource(nullptr, found))));
    DialogTemplate t;
    if (in.Take<WORD>() != 1 || in.Take<WORD>() != 0xFFFF)
        throw std::runtime_error("not a DIALOGEX template");
    in.Take<DWORD>();
    t.exStyle = in.Take<DWORD>();
    t.style = in.Take<DWORD>();
    int count = in.Take<WORD>();
    t.x = in.Take<short>(), t.y = in.Take<short>(), t.w = in.Take<short>(), t.h = in.Take<short>();
    in.NameOrOrdinal();
    in.NameOrOrdinal();
    t.caption = in.Text();
    t.pointSize = in.Take<WORD>(), t.weight = in.Take<WORD>(), t.italic = in.Take<BYTE>(), t.charset = in.Take<BYTE>();
    t.typeface = in.Text();
    for (int i = 0; i < count; ++i) {
        in.AlignToDword();
        TemplateItem item;
        in.Take<DWORD>();
        item.exStyle = in.Take<DWORD>();
        item.style = in.Take<DWORD>();
        item.x = in.Take<short>(), item.y = in.Take<short>(), item.w = in.Take<short>(), item.h = in.Take<short>();
        item.id = static_cast<int>(in.Take<DWORD>());
        item.className = in.NameOrOrdinal();
        item.text = in.NameOrOrdinal();
        in.Take<WORD>();
        t.items.push_back(item);
    }
    return t;
}

void WriteMenuFile(const std::wstring& folder, const std::wstring& text)
{
    std::string bytes;
    ASSERT_FALSE(EncodeCp949(text, bytes).has_value());
    WriteFileBytes(folder + L"\\zulmenu.txt", bytes);
}

}  // namespace

TEST(SetupDialog, TemplateIsTheDesignedOne)
{
    DialogTemplate t = ReadDialogTemplate(IDD_TQ2ZULSETUP_DIALOG);
    EXPECT_EQ(t.style, static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS));
    EXPECT_EQ(t.exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(std::vector<int>({t.x, t.y, t.w, t.h}), std::vector<int>({0, 0, 439, 241}));
    EXPECT_EQ(t.caption, L"TOLVAN-QUORAL2 ZUL Setup");
    EXPECT_EQ(t.typeface, L"MS Shell Dlg");
    EXPECT_EQ(std::vector<int>({t.pointSize, t.weight, t.italic, t.charset}), std::vector<int>({9, 0, 0, 1}));

    const DWORD button = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    const TemplateItem expected[] = {
        {button | BS_DEFPUSHBUTTON, 0, 351, 209, 50, 14, IDOK, L"BUTTON", L"CLOSE"},
        {button | BS_PUSHBUTTON, 0, 351, 18, 78, 14, IDC_ADD_MODULE, L"BUTTON", L"ZUL 모듈 추가"},
        {button | BS_PUSHBUTTON, 0, 351, 36, 78, 14, IDC_DELETE_SELECTED, L"BUTTON", L"선택삭제"},
        {WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_ALIGNLEFT, WS_EX_ACCEPTFILES, 11, 19, 336,
         205, IDC_MODULE_LIST, L"SysListView32", L""},
        {button | BS_DEFPUSHBUTTON, 0, 351, 190, 50, 14, IDCANCEL, L"BUTTON", L"적용"},
    };
    ASSERT_EQ(t.items.size(), std::size(expected));
    for (size_t i = 0; i < t.items.size(); ++i) {
        const TemplateItem& item = t.items[i];
        const TemplateItem& e = expected[i];
        SCOPED_TRACE("control " + std::to_string(e.id));
        EXPECT_EQ(item.id, e.id);
        EXPECT_TRUE(EqualsNoCase(item.className, e.className)) << Utf8(item.className);
        EXPECT_EQ(item.text, e.text);
        EXPECT_EQ(std::vector<int>({item.x, item.y, item.w, item.h}), std::vector<int>({e.x, e.y, e.w, e.h}));
        EXPECT_EQ(item.style, e.style);
        EXPECT_EQ(item.exStyle, e.exStyle);
    }
}

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
    RunDialog(dialog, [&](UiThread& ui) {
        EXPECT_EQ(catcher.Texts(), std::vector<std::wstring>{kWarning});
        EXPECT_FALSE(visibleAtWarning) << "the warning must come before the dialog shows";
        EXPECT_EQ(columnsAtWarning, 4) << "the warning must come after the list is set up";

        ui.Call([&] {
            DWORD style = dialog.GetStyle();
            EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), static_cast<DWORD>(WS_CAPTION))
                << "a caption without system menu, close, minimise or maximise box";
            CiStCListCtrl& list = dialog.moduleList;
            EXPECT_EQ(list.GetDlgCtrlID(), IDC_MODULE_LIST);
            EXPECT_EQ(list.GetExtendedStyle(), static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
            const std::pair<std::wstring, int> columns[] = {{L"상태", 60}, {L"dll명칭", 250}, {L"메뉴명칭", 180}, {L"버젼", 80}};
            ASSERT_EQ(list.GetColumnCount(), 4);
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
            HICON icon = dialog.m_hIcon;
            EXPECT_NE(icon, nullptr);
            EXPECT_EQ(reinterpret_cast<HICON>(dialog.SendMessage(WM_GETICON, ICON_BIG)), icon);
            EXPECT_EQ(reinterpret_cast<HICON>(dialog.SendMessage(WM_QUERYDRAGICON)), icon);
        });
    });
}

TEST(SetupDialog, OpensWithoutHostAfterTheWarning)
{
    DeleteHostRegistryKey();
    CTQ2ZULSetupDlg dialog;
    MessageBoxCatcher catcher;
    RunDialog(dialog, [&](UiThread& ui) {
        EXPECT_EQ(catcher.Texts(), std::vector<std::wstring>{kWarning});
        ui.Call([&] {
            EXPECT_EQ(dialog.hostInstallPath, L"");
            EXPECT_EQ(dialog.addInFolder, L"");
            EXPECT_EQ(dialog.moduleList.GetItemCount(), 0);
        });
    });
}

TEST(SetupDialog, ListsTheModulesOfTheMenuFile)
{
    TempDir host;
    std::wstring addIn = host / L"zul_ap";
    CreateDirectoryW(addIn.c_str(), nullptr);
    MakeModuleDll(addIn + L"\\apDraftAssist.dll", {L"DraftAssist", L"Draft", L"2.3.4.5"});
    WriteMenuFile(addIn, L"\"DraftAssist\" \"도면 보조\" \"CAD\" \"REGULAR\"\r\n");
    SetHostRegistryValue(host.Path());
    CTQ2ZULSetupDlg dialog;
    MessageBoxCatcher catcher;
    RunDialog(dialog, [&](UiThread& ui) {
        ui.Call([&] {
            ASSERT_EQ(dialog.moduleList.GetItemCount(), 1);
            EXPECT_EQ(dialog.moduleList.GetItemText(0, 0), L"");
            EXPECT_EQ(dialog.moduleList.GetItemText(0, 1), L"apDraftAssist");
            EXPECT_EQ(dialog.moduleList.GetItemText(0, 2), L"도면 보조");
            EXPECT_EQ(dialog.moduleList.GetItemText(0, 3), L"2.3.4.5");
            EXPECT_EQ(dialog.table.GetCount(), 1);
            EXPECT_TRUE(dialog.catalogue.IsPresent(dialog.catalogue.Find(L"apDraftAssist.dll")));
        });
    });
}

TEST(SetupDialog, EnterAndEscapePressNothingAndOnlyCloseEndsTheDialog)
{
    DeleteHostRegistryKey();
    ObservedDlg dialog;
    MessageBoxCatcher catcher;
    INT_PTR result = RunDialog(dialog, [&](UiThread& ui) {
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

TEST(SetupDialog, MenuNameEditsReachTheDialogAndKeysStayInTheEditor)
{
    DeleteHostRegistryKey();
    ObservedDlg dialog;
    MessageBoxCatcher catcher;
    RunDialog(dialog, [&](UiThread& ui) {
        HWND list = ui.Call([&] {
            dialog.table.AppendAddedRow({kStatusAdded, L"apFoo.dll", L"apFoo", L"Foo menu", L"C:\\in\\apFoo.dll"}, L"1.0");
            return dialog.moduleList.m_hWnd;
        });
        auto cellCentre = [&](int column) {
            return ui.Call([&] {
                RECT rect{LVIR_BOUNDS, column, 0, 0};
                dialog.moduleList.SendMessage(LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
                return POINT{rect.left + 5, (rect.top + rect.bottom) / 2};
            });
        };
        auto editor = [&] { return ui.Call([&] { return FindChildByClass(list, L"Edit"); }); };

        PostClick(list, cellCentre(1));
        ui.Flush();
        EXPECT_EQ(editor(), nullptr) << "the module name column is read-only";

        PostClick(list, cellCentre(2));
        ui.Flush();
        ASSERT_NE(editor(), nullptr);
        PostChars(editor(), L"New name");
        PostKey(editor(), VK_RETURN);
        ASSERT_TRUE(ui.WaitUntil([&] { return dialog.editEnds.size() == 1; }));

        PostClick(list, cellCentre(2));
        ui.Flush();
        ASSERT_NE(editor(), nullptr);
        PostChars(editor(), L"dropped");
        PostKey(editor(), VK_ESCAPE);
        ASSERT_TRUE(ui.WaitUntil([&] { return dialog.editEnds.size() == 2; }));

        auto ends = ui.Call([&] { return dialog.editEnds; });
        EXPECT_EQ(ends[0], std::make_pair(WPARAM{IDC_MODULE_LIST}, std::wstring(L"New name")));
        EXPECT_EQ(ends[1], std::make_pair(WPARAM{IDC_MODULE_LIST}, std::wstring(L"New name")));
        EXPECT_TRUE(ui.Call([&] { return dialog.commands; }).empty()) << "a key in the editor pressed a button";
        EXPECT_TRUE(IsWindow(ui.Call([&] { return dialog.m_hWnd; })));
    });
}

TEST(SetupDialog, TheProgramWarnsShowsTheDialogAndEndsWithClose)
{
    DeleteHostRegistryKey();
    RunningApp app(BuiltExePath(), L"--unknown /x C:\\nothing");
    HWND box = app.WaitForWindow(L"#32770", L"TQ2ZULSetup");
    ASSERT_NE(box, nullptr) << "no warning box";
    EXPECT_EQ(MessageBoxText(box), kWarning);
    EXPECT_TRUE(app.Windows(L"#32770").size() == 1) << "the dialog showed before the warning was answered";
    PressButton(box, IDOK);
    HWND dialog = app.WaitForWindow(L"#32770", L"TOLVAN-QUORAL2 ZUL Setup");
    ASSERT_NE(dialog, nullptr) << "no setup dialog";
    EXPECT_FALSE(app.HasExited());
    PressButton(dialog, IDOK);
    ASSERT_TRUE(app.WaitForExit(std::chrono::seconds(30))) << "CLOSE did not end the program";
    DWORD code = 1;
    GetExitCodeProcess(app.Process(), &code);
    EXPECT_EQ(code, 0u);
}
