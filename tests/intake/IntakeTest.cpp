#include <gtest/gtest.h>

#include <shlobj.h>

#include "app/ModuleCatalogue.h"
#include "app/ModuleTable.h"
#include "menu/Apply.h"
#include "menu/MenuLoader.h"
#include "modules/DroppedFiles.h"
#include "modules/ModuleIntake.h"
#include "support/ModuleFactory.h"
#include "support/TestList.h"
#include "support/TestSupport.h"

namespace {

struct IntakeScene {
    TempDir dir;
    TestList list;
    ModuleTable table{list.List()};

    std::wstring Module(const std::wstring& fileName, const std::wstring& internalName,
                        const std::wstring& description, bool is64Bit = true, const std::wstring& version = L"1.0.0.1")
    {
        MakeModuleDll(dir / fileName, {internalName, description, version, is64Bit});
        return dir / fileName;
    }
    std::wstring Cell(int row, int column) { return list.List().GetItemText(row, column); }
};

}  // namespace

TEST(Intake, SelectedModulesAreAddedInOrderAnd32BitOnesNamedInOneMessage)
{
    IntakeScene scene;
    const std::vector<std::wstring> picked = {
        scene.Module(L"apOne.dll", L"One.dll", L"첫째", true, L"2.1.0.0"),
        scene.Module(L"apOld32.dll", L"Old32.dll", L"old", false),
        scene.Module(L"apTwo.dll", L"Two.dll", L"둘째"),
        scene.Module(L"apAlso32.dll", L"Also32.dll", L"old", false),
        scene.Module(L"MyTool.dll", L"Three.dll", L"셋째"),
    };
    WriteFileBytes(scene.dir / L"notes.txt", "not a module at all");

    const std::wstring message = IntakeSelectedFiles(scene.table, picked);

    EXPECT_EQ(message, L"아래 모듈은 32Bit이므로 Load할수 없습니다.\n[1]. apOld32.dll\n[2]. apAlso32.dll\n");
    ASSERT_EQ(scene.table.GetCount(), 3);
    const wchar_t* files[] = {L"apOne.dll", L"apTwo.dll", L"MyTool.dll"};
    const wchar_t* modules[] = {L"apOne.dll", L"apTwo.dll", L"apThree.dll"};
    const wchar_t* menus[] = {L"첫째", L"둘째", L"셋째"};
    for (int i = 0; i < 3; ++i) {
        const ModuleRow row = scene.table.GetRow(i);
        EXPECT_EQ(row.status, L"추가") << i;
        EXPECT_EQ(row.dllFileName, files[i]) << i;
        EXPECT_EQ(row.moduleName, modules[i]) << i;
        EXPECT_EQ(row.menuName, menus[i]) << i;
        EXPECT_EQ(row.sourcePath, scene.dir / files[i]) << i;
    }
    EXPECT_EQ(scene.Cell(0, 3), L"2.1.0.0");

    EXPECT_EQ(IntakeSelectedFiles(scene.table, {scene.dir / L"notes.txt"}), L"")
        << "a file that is no PE image is taken, without a message";
    EXPECT_EQ(scene.table.GetRow(3).moduleName, L"ap");
    EXPECT_EQ(scene.table.GetRow(3).menuName, L"");
}

TEST(Intake, DroppedFilesNeedTheDllExtensionAndAre32BitCheckedToo)
{
    IntakeScene scene;
    const std::wstring upper = scene.Module(L"A.DLL", L"Upper.dll", L"upper");
    const std::wstring old = scene.Module(L"apOld32.dll", L"Old32.dll", L"old", false);
    const std::wstring text = scene.Module(L"a.dll.txt", L"Text.dll", L"text");
    CreateDirectoryW((scene.dir / L"folder").c_str(), nullptr);
    CreateDirectoryW((scene.dir / L"apFolder.dll").c_str(), nullptr);

    const std::wstring message =
        IntakeDroppedFiles(scene.table, {upper, old, text, scene.dir / L"folder", scene.dir / L"apFolder.dll"});

    EXPECT_EQ(message, L"아래 모듈은 32Bit이므로 Load할수 없습니다.\n[1]. apOld32.dll\n");
    ASSERT_EQ(scene.table.GetCount(), 1) << "a folder named like a module is no module";
    EXPECT_EQ(scene.table.GetRow(0).moduleName, L"apUpper.dll");
    EXPECT_EQ(IntakeDroppedFiles(scene.table, {text}), L"");
    EXPECT_EQ(scene.table.GetCount(), 1);

    EXPECT_TRUE(HasDllExtension(L"C:\\m\\x.Dll"));
    EXPECT_TRUE(HasDllExtension(L"C:\\my files\\a b.dll"));
    EXPECT_FALSE(HasDllExtension(L"C:\\m.dll\\x"));
    EXPECT_FALSE(HasDllExtension(L"C:\\m\\x.dll "));
    EXPECT_FALSE(HasDllExtension(L"C:\\m\\xdll"));
}

TEST(Intake, ASecondFileOfAModuleReplacesAnInstalledRowButRefreshesAPendingOne)
{
    IntakeScene scene;
    scene.table.AppendLoadedRow({L"", L"apDraftAssist.dll", L"apSnapper.dll", L"설치된 메뉴", L"C:\\host\\apDraftAssist.dll"},
                                L"1.0");
    const std::wstring newer = scene.Module(L"apSnapper2.dll", L"SNAPPER.DLL", L"새 설명", true, L"3.0.0.0");

    std::vector<std::wstring> refused;
    EXPECT_EQ(IntakeModuleFile(scene.table, newer, L"apSnapper2.dll", true, refused), IntakeResult::Replaced);
    ModuleRow row = scene.table.GetRow(0);
    EXPECT_EQ(row.status, L"교체");
    EXPECT_EQ(row.sourcePath, newer);
    EXPECT_EQ(row.dllFileName, L"apDraftAssist.dll") << "the installed name stays the naming base";
    EXPECT_EQ(row.moduleName, L"apSnapper.dll");
    EXPECT_EQ(row.menuName, L"설치된 메뉴");
    EXPECT_EQ(scene.Cell(0, 1), L"apSNAPPER.DLL");
    EXPECT_EQ(scene.Cell(0, 2), L"새 설명");
    EXPECT_EQ(scene.Cell(0, 3), L"3.0.0.0");

    const std::wstring first = scene.Module(L"apFoo.dll", L"Foo.dll", L"first");
    CreateDirectoryW((scene.dir / L"later").c_str(), nullptr);
    const std::wstring second = scene.Module(L"later\\apFoo.dll", L"foo.dll", L"second", true, L"2.0.0.0");
    EXPECT_EQ(IntakeModuleFile(scene.table, first, L"apFoo.dll", false, refused), IntakeResult::Added);
    EXPECT_EQ(IntakeModuleFile(scene.table, second, L"apFoo.dll", false, refused), IntakeResult::Refreshed);
    ASSERT_EQ(scene.table.GetCount(), 2);
    row = scene.table.GetRow(1);
    EXPECT_EQ(row.status, L"추가") << "a module not installed yet must still get its menu entry";
    EXPECT_EQ(row.sourcePath, second);
    EXPECT_EQ(row.moduleName, L"apfoo.dll");
    EXPECT_EQ(row.menuName, L"second");
    EXPECT_EQ(scene.Cell(1, 2), L"second") << "the list shows the refreshed row";
    EXPECT_EQ(scene.Cell(1, 3), L"2.0.0.0");

    WriteFileBytes(scene.dir / L"plain1.dll", "no version");
    WriteFileBytes(scene.dir / L"plain2.dll", "no version either");
    EXPECT_EQ(IntakeModuleFile(scene.table, scene.dir / L"plain1.dll", L"plain1.dll", true, refused),
              IntakeResult::Added);
    EXPECT_EQ(IntakeModuleFile(scene.table, scene.dir / L"plain2.dll", L"plain2.dll", true, refused),
              IntakeResult::Refreshed)
        << "two files without version strings share the module name \"ap\"";
    EXPECT_EQ(scene.table.GetCount(), 3);
    EXPECT_EQ(scene.table.GetRow(2).dllFileName, L"plain2.dll");
    EXPECT_TRUE(refused.empty());
}

TEST(Intake, ADropDeliversEveryPathWhole)
{
    const std::vector<std::wstring> paths = {L"C:\\mods\\apOne.dll", L"C:\\" + std::wstring(300, L'x') + L"\\apLong.dll",
                                             L"D:\\모듈\\apHangul.dll"};
    size_t chars = 1;
    for (const std::wstring& path : paths)
        chars += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    ASSERT_NE(memory, nullptr);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(header + 1);
    for (const std::wstring& path : paths) {
        std::copy(path.begin(), path.end(), text);
        text += path.size() + 1;
    }
    GlobalUnlock(memory);

    EXPECT_EQ(DroppedFilePaths(static_cast<HDROP>(memory)), paths);
    GlobalFree(memory);
}

TEST(Intake, AModuleAddedTwiceBeforeApplyIsInstalledWithItsEntry)
{
    IntakeScene scene;
    TempDir host;
    ModuleCatalogue catalogue;
    catalogue.FillCatalogue();
    CreateDirectoryW((scene.dir / L"v2").c_str(), nullptr);
    const std::wstring first = scene.Module(L"apWidget.dll", L"Widget.dll", L"Widget");
    const std::wstring second = scene.Module(L"v2\\apWidget.dll", L"Widget.dll", L"Widget 2", true, L"2.0.0.0");
    EXPECT_EQ(IntakeSelectedFiles(scene.table, {first}), L"");
    EXPECT_EQ(IntakeDroppedFiles(scene.table, {second}), L"");

    const ApplyOutcome outcome = ApplyPendingModules(scene.table, catalogue, host.Path());

    ASSERT_EQ(outcome.result, ApplyResult::Applied);
    EXPECT_EQ(ReadFileBytes(host / L"apDraftAssist.dll"), ReadFileBytes(second)) << "the newer file is deployed";
    EXPECT_EQ(ReadFileBytes(host / L"zulmenu.txt"), "\"DraftAssist\" \"Widget 2\" \"CAD\" \"REGULAR\"\r\n");
    LoadMenuFile(host.Path(), scene.table, catalogue);
    ASSERT_EQ(scene.table.GetCount(), 1);
    EXPECT_EQ(scene.table.GetRow(0).moduleName, L"apWidget.dll");
    EXPECT_EQ(scene.Cell(0, 3), L"2.0.0.0");
}
