#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "app/ModuleCatalogue.h"
#include "support/AppDriver.h"
#include "support/ModuleFactory.h"
#include "support/TestSupport.h"

namespace {

// Bytes of a menu line as the host reads it: code page 949 with CR LF.
std::string Cp949(const std::wstring& text)
{
    int n = WideCharToMultiByte(949, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(949, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// A sample host: the registry value, an add-in folder with one installed module, and
// a source folder holding a new module with two pictures and an unrelated file.
struct SampleHost {
    TempDir root;
    std::wstring addIn = root / L"zul_ap";
    std::wstring source = root / L"새 모듈";
    std::string oldMenu;

    SampleHost()
    {
        CreateDirectoryW(addIn.c_str(), nullptr);
        CreateDirectoryW(source.c_str(), nullptr);
        MakeModuleDll(addIn + L"\\apExisting.dll", {L"Existing.dll", L"기존 모듈", L"3.2.1.0"});
        oldMenu = Cp949(L"\"Existing\" \"기존 메뉴\" \"CAD\" \"REGULAR\"\r\n");
        WriteFileBytes(addIn + L"\\zulmenu.txt", oldMenu);
        MakeModuleDll(source + L"\\apNewTool.dll", {L"NewTool.dll", L"새 도구", L"1.2.3.4"});
        WriteFileBytes(source + L"\\apNewTool_16.png", "png16");
        WriteFileBytes(source + L"\\apNewTool_32.png", "png32");
        WriteFileBytes(source + L"\\readme.txt", "not part of the module");
        SetHostRegistryValue(root.Path() + L"\\");
    }
    ~SampleHost() { DeleteHostRegistryKey(); }
};

}  // namespace

TEST(InstallFlow, AddEditApplyAsAUserWould)
{
    SampleHost host;
    RunningApp app(BuiltExePath(), L"--ignored /x");
    std::wstring warning;
    HWND dialog = DismissWarningAndFindDialog(app, &warning);
    EXPECT_EQ(warning, kStartWarning);
    ASSERT_NE(dialog, nullptr) << "the setup dialog did not appear";
    HWND list = GetDlgItem(dialog, 1013);
    ASSERT_EQ(RemoteListItemCount(list), 1);
    EXPECT_EQ(RemoteListItemText(list, 0, 1), L"apExisting.dll");
    EXPECT_EQ(RemoteListItemText(list, 0, 2), L"기존 메뉴");
    EXPECT_EQ(RemoteListItemText(list, 0, 3), L"3.2.1.0");

    // Add the new module through the real file dialog.
    ASSERT_TRUE(AddThroughFileDialog(app, dialog, host.source + L"\\apNewTool.dll")) << "no file dialog";
    ASSERT_TRUE(WaitFor([&] { return RemoteListItemCount(list) == 2; })) << "the module was not added";
    EXPECT_EQ(RemoteListItemText(list, 1, 0), L"추가");
    EXPECT_EQ(RemoteListItemText(list, 1, 1), L"apNewTool.dll");
    EXPECT_EQ(RemoteListItemText(list, 1, 2), L"새 도구");

    // Edit its menu name in place: click the cell, type, Enter.
    RECT cell = RemoteSubItemRect(list, 1, 2);
    LPARAM at = MAKELPARAM(cell.left + 5, (cell.top + cell.bottom) / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(list, WM_LBUTTONUP, 0, at);
    HWND editor = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (editor = FindChildByClass(list, L"Edit")) != nullptr && IsWindowVisible(editor); }))
        << "no cell editor";
    SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"도구 메뉴"));
    PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(WaitFor([&] { return RemoteListItemText(list, 1, 2) == L"도구 메뉴" && !IsWindow(editor); }));

    // Apply: the module takes the first free catalogue name.
    PressButton(dialog, 2);
    ASSERT_TRUE(WaitFor([&] { return RemoteListItemCount(list) == 2 && RemoteListItemText(list, 1, 0).empty(); }))
        << "the list was not reloaded after Apply";
    ModuleCatalogue catalogue;
    catalogue.FillCatalogue();
    std::wstring base = catalogue.names.GetAt(0);
    std::wstring stem = base.substr(2, base.size() - 6);
    EXPECT_EQ(ReadFileBytes(host.addIn + L"\\" + base), ReadFileBytes(host.source + L"\\apNewTool.dll"));
    EXPECT_EQ(ReadFileBytes(host.addIn + L"\\ap" + stem + L"_16.png"), "png16");
    EXPECT_EQ(ReadFileBytes(host.addIn + L"\\ap" + stem + L"_32.png"), "png32");
    EXPECT_FALSE(FileExists(host.addIn + L"\\readme.txt"));
    EXPECT_EQ(ReadFileBytes(host.addIn + L"\\zulmenu.txt"),
              host.oldMenu + Cp949(L"\"" + stem + L"\" \"도구 메뉴\" \"CAD\" \"REGULAR\"\r\n"));
    EXPECT_EQ(RemoteListItemText(list, 1, 1), L"apNewTool.dll") << "listed under its own module name";
    EXPECT_TRUE(app.Windows(L"#32770").size() == 1) << "a successful Apply shows no message";

    // Enter and Escape do nothing; only CLOSE ends the program.
    PostMessageW(list, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_FALSE(app.WaitForExit(std::chrono::milliseconds(500)));
    PressButton(dialog, IDOK);
    EXPECT_TRUE(app.WaitForExit(std::chrono::seconds(20))) << "CLOSE did not end the process";
}
