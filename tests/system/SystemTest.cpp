#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <set>

#include "app/TQ2ZULSetupDlg.h"
#include "core/menu/CodePage949.h"
#include "core/menu/MenuFormat.h"
#include "core/table/ModuleName.h"
#include "platform/Paths.h"
#include "platform/TempFile.h"
#include "support/ModuleFactory.h"
#include "support/windows/WindowDriver.h"
#include "texts/Texts.h"

namespace {

constexpr int kModules = 8, kMenuRows = 3;
constexpr wchar_t kEditedName[] = L"도구 메뉴";
using Files = std::map<std::wstring, std::string>;

// A menu file's bytes: each line in code page 949, ended by CR LF.
std::string MenuBytes(const std::vector<std::wstring>& lines)
{
    std::string bytes, line;
    for (const std::wstring& text : lines)
        bytes += (EncodeCp949(text, line) ? "<not in code page 949>" : line) + "\r\n";
    return bytes;
}

// A list row's cells, bar-separated.
std::wstring Row(HWND list, int row)
{
    return ListText(list, row, 0) + L"|" + ListText(list, row, 1) + L"|" + ListText(list, row, 2) + L"|" + ListText(list, row, 3);
}

// A host, registered as such, whose menu file lists the protected module and two modules
// no longer around, and a folder of modules to add: each a DLL of some bulk under a
// catalogue name of its own (so deployed under that name) and a picture; every third
// replaces older files.
struct Scene {
    Scene()
    {
        SetHostRegistryValue(root.Path());
        CreateDirectoryW(source.c_str(), nullptr);
        MakeModuleDll(source + L"\\apMorvane.dll", {L"Morvane.dll", L"Morvane", L"1.0.0.7"});
        oldFiles[L"apMorvane.dll"] = ReadFileBytes(source + L"\\apMorvane.dll");
        ModuleCatalogue catalogue;
        catalogue.FillCatalogue();
        std::vector<std::wstring> entries;
        for (int i = 0; i < kModules; ++i) {
            const std::wstring name = catalogue.Name(i), picture = L"ap" + ModuleStem(name) + L"_16.png";
            const std::wstring menu = L"모듈 " + std::to_wstring(i);
            MakeModuleDll(source + L"\\" + name, {ModuleStem(name) + L".dll", menu, L"2.0.0.1", true, 1u << 20});
            WriteFileBytes(source + L"\\" + picture, Utf8(picture));
            for (const std::wstring& file : {name, picture})
                newFiles[file] = ReadFileBytes(source + L"\\" + file);
            if (i % 3 == 0)
                oldFiles[name] = oldFiles[picture] = "old " + Utf8(name);
            entries.push_back(ComposeMenuEntry(name, i == 0 ? kEditedName : menu));
            picked += L"\"" + source + L"\\" + name + L"\" ";
        }
        CopyFileW(FixturePath(L"apSample32.dll").c_str(), (source + L"\\apOld32.dll").c_str(), FALSE);
        picked += L"\"" + source + L"\\apOld32.dll\"";
        oldMenu = MenuBytes({L"\"Morvane\" \"모르반\" \"CAD\" \"REGULAR\"", L"; written by hand", L"",
                             L"\"Gone\" \"옛 메뉴\" \"CAD\" \"REGULAR\"", L"\"InterGone\" \"옛 메뉴\" \"CAD\" \"INTERRUPT\""});
        newMenu = oldMenu + MenuBytes(entries);
        Reset();
    }
    ~Scene() { DeleteHostRegistryKey(); }

    // The add-in folder as it was before any Apply.
    void Reset() const
    {
        RemoveTree(addIn);
        CreateDirectoryW(addIn.c_str(), nullptr);
        WriteFileBytes(menuFile, oldMenu);
        for (const auto& [name, bytes] : oldFiles)
            WriteFileBytes(addIn + L"\\" + name, bytes);
    }

    // Starts the program and brings it to the moment before Apply: every module added
    // through the file dialog, the first one's menu name edited in place.
    void BringToApply(const RunningApp& app, HWND& dialog) const
    {
        ASSERT_NE(dialog = app.Start(), nullptr) << "no setup dialog";
        HWND list = GetDlgItem(dialog, IDC_MODULE_LIST), editor = nullptr;
        ASSERT_TRUE(app.AddThroughFileDialog(dialog, picked)) << "no file dialog";
        ASSERT_EQ(app.AnswerBox(), kRefused32BitHeading + std::wstring(L"[1]. apOld32.dll\n"));
        ASSERT_TRUE(WaitFor([&] { return ListCount(list) == kMenuRows + kModules; })) << "the modules were not added";
        PostClick(list, Centre(ListCellRect(list, kMenuRows, kColumnMenuName)));
        ASSERT_TRUE(WaitFor([&] { return (editor = FindWindowExW(list, nullptr, L"Edit", nullptr)) != nullptr; }));
        PostChars(editor, kEditedName);
        PostKey(editor, VK_RETURN);
        ASSERT_TRUE(WaitFor([&] { return ListText(list, kMenuRows, kColumnMenuName) == kEditedName; }));
    }

    // What is wrong in the add-in folder right after a kill ("" when nothing): a partial or
    // foreign file, or a menu file neither old nor new; isNewMenu tells which it holds.
    std::string Check(bool& isNewMenu) const
    {
        const std::string menu = ReadFileBytes(menuFile);
        isNewMenu = menu == newMenu;
        std::string wrong = isNewMenu || menu == oldMenu ? "" : "the menu file is neither old nor new; ";
        for (const auto& [name, bytes] : Snapshot(addIn)) {
            auto holds = [&](const Files& files) { return files.contains(name) && files.at(name) == bytes; };
            if (name != L"zulmenu.txt" && !IsToolTempName(name) && !holds(newFiles) && !holds(oldFiles))
                wrong += Utf8(name) + " is partial or foreign; ";
        }
        // A target may be missing for a moment, its old file set aside in the journal:
        // the next start puts the whole old or new set in place (checked there).
        return wrong;
    }

    TempDir root;
    std::wstring addIn = root / L"zul_ap", menuFile = addIn + L"\\zulmenu.txt";
    std::wstring source = root / L"새 모듈";
    Files oldFiles, newFiles;
    std::string oldMenu, newMenu;
    std::wstring picked;
};

}  // namespace

TEST(SetupDialog, WiresItsControlsToTheModuleTable)
{
    Scene scene;
    CTQ2ZULSetupDlg dialog;
    std::vector<bool> shownAtBox;
    RunModal(dialog, [&](UiThread& ui) {
        HWND hwnd = dialog.m_hWnd, list = GetDlgItem(hwnd, IDC_MODULE_LIST);
        ui.Flush();
        EXPECT_EQ(ui.BoxTexts(), std::vector<std::wstring>{kHostRunningWarning});
        EXPECT_FALSE(shownAtBox.at(0)) << "the dialog showed before the warning";
        for (int i = 0; i < 4; ++i) {
            wchar_t heading[32] = {};
            LVCOLUMNW column{LVCF_TEXT, 0, 0, heading, 32, 0, 0, 0, 0, 0, 0};
            SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
            EXPECT_EQ(std::wstring(heading), kColumnHeadings[i]);
        }
        ASSERT_EQ(ListCount(list), kMenuRows);
        EXPECT_EQ(Row(list, 0), L"|apMorvane.dll|모르반|1.0.0.7");

        const HDROP drop = MakeDropHandle({scene.source + L"\\apDraftAssist.dll", FixturePath(L"apSample32.dll")});
        PostMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        ui.Flush();
        ASSERT_EQ(ListCount(list), kMenuRows + 1) << "the 64-bit module is added, the 32-bit one refused";
        EXPECT_EQ(Row(list, kMenuRows), kStatusAddedLabel + std::wstring(L"|apDraftAssist.dll|모듈 0|2.0.0.1"));
        EXPECT_EQ(ui.BoxTexts().back(), kRefused32BitHeading + std::wstring(L"[1]. apSample32.dll\n"));

        // Enter would close the dialog and Escape would apply.
        PostKey(list, VK_RETURN);
        PostKey(list, VK_ESCAPE);
        ui.Flush();
        ASSERT_TRUE(IsWindow(hwnd)) << "Enter closed the dialog";
        EXPECT_EQ(ListText(list, kMenuRows, kColumnStatus), kStatusAddedLabel) << "Escape applied";

        PostClick(list, Centre(ListCellRect(list, 0, kColumnMenuName)));
        HWND editor = ui.Call([] { return CiStCListCtrl::GetCellEditor()->m_hWnd; });
        ASSERT_NE(editor, nullptr);
        PostChars(editor, L"\b");
        PostKey(editor, VK_RETURN);
        ui.Flush();
        EXPECT_EQ(ui.BoxTexts().back(), kEmptyMenuNameMessage);
        EXPECT_EQ(ListText(list, 0, kColumnMenuName), L"모르반") << "the emptied name was not put back";

        for (int row = 0; row < kMenuRows; ++row)
            ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
        PressButton(hwnd, IDC_DELETE_SELECTED);
        ui.Flush();
        ASSERT_EQ(ListCount(list), 2) << "delete removes the selected rows but the protected one";
        EXPECT_EQ(ListText(list, 0, kColumnModuleName), L"apMorvane.dll");

        // Alt+F4 and the like end the dialog as CLOSE does, with the added module pending.
        PostMessageW(hwnd, WM_CLOSE, 0, 0);
        ui.Flush();
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_EQ(ReadFileBytes(scene.menuFile), scene.oldMenu) << "closing the window applied";
    }, [&] { shownAtBox.push_back(IsWindowVisible(dialog.m_hWnd)); });
}

// The program is killed at moments spread over Apply; the last run lets Apply finish as
// a user would. TQ2ZUL_KILL_RUNS sets the number of kills (8 unless set).
TEST(Program, AppliesAsAUserWouldAndAKillAtAnyMomentLeavesEachFileOldOrWholeNew)
{
    Scene scene;
    const char* wanted = std::getenv("TQ2ZUL_KILL_RUNS");
    const size_t kills = wanted ? std::max(2, std::atoi(wanted)) : 8;
    // Kill moments go by the number of files in the add-in folder, from what is there
    // before Apply to what a finished Apply leaves; the last kill waits for the new
    // menu file's size instead.
    const size_t before = 1 + scene.oldFiles.size(), after = 2 + scene.newFiles.size();
    int oldMenus = 0, newMenus = 0;
    for (size_t run = 0; run <= kills && !HasFatalFailure(); ++run) {
        const size_t files = run + 1 < kills ? before + (after - before) * run / (kills - 1) : SIZE_MAX;
        scene.Reset();
        RunningApp app;
        HWND dialog = nullptr;
        ASSERT_NO_FATAL_FAILURE(scene.BringToApply(app, dialog));
        HWND list = GetDlgItem(dialog, IDC_MODULE_LIST);
        PressButton(dialog, IDCANCEL);
        WIN32_FILE_ATTRIBUTE_DATA menu{};
        // Neither question opens a file, so neither can get in the program's way.
        EXPECT_TRUE(WaitFor([&] {
            if (run == kills)
                return ListText(list, kMenuRows, kColumnStatus).empty();  // reloaded after Apply
            return ListFolderFiles(scene.addIn).size() >= files ||
                   (GetFileAttributesExW(scene.menuFile.c_str(), GetFileExInfoStandard, &menu) &&
                    menu.nFileSizeLow == scene.newMenu.size());
        })) << "run " << run;
        app.Kill();
        bool newMenu = false;
        EXPECT_EQ(scene.Check(newMenu), "") << "run " << run << ", killed at " << files << " files";
        ++(newMenu ? newMenus : oldMenus);

        RunningApp next;
        ASSERT_NE(dialog = next.Start(), nullptr) << "no start after run " << run;
        // The start puts back what a killed Apply left: all old, or all new.
        const auto snapshot = Snapshot(scene.addIn);
        Files now(snapshot.begin(), snapshot.end()), all = scene.newFiles;
        all.insert(scene.oldFiles.begin(), scene.oldFiles.end());
        all[L"zulmenu.txt"] = scene.newMenu;
        Files old = scene.oldFiles;
        old[L"zulmenu.txt"] = scene.oldMenu;
        // A kill after the menu file was replaced but before the journal was marked done
        // rolls back too: which set it is does not follow from the menu file seen at the kill.
        EXPECT_TRUE(now == all || (now == old && run < kills)) << "a mix, or a finished Apply lost, after run " << run;
        EXPECT_EQ(ListCount(GetDlgItem(dialog, IDC_MODULE_LIST)), kMenuRows + (now == all ? kModules : 0)) << run;
    }
    EXPECT_GT(oldMenus, 0) << "no kill landed before the menu file was replaced";
    EXPECT_GT(newMenus, 1) << "no kill landed after the menu file was replaced, or Apply did not finish";
}

// Both must run on any 64-bit Windows as they are, and import only the system's known
// DLLs (and comctl32, which the manifest redirects): any other DLL the loader would first
// look for in the program's own folder, a downloads folder say.
TEST(Program, IsA64BitImageNeedingOnlyKnownWindowsDllsWithItsIcon)
{
    for (const bool console : {true, false}) {
        const std::wstring path = console ? FolderOf(BuiltExePath()) + L"\\tq2zul.exe" : BuiltExePath();
        HMODULE image = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(image, nullptr) << Utf8(path);
        // The low bits of the handle only mark how the image was loaded.
        const auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(image) & ~ULONG_PTR{3});
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
        ASSERT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC) << "not PE32+";
        EXPECT_EQ(nt->OptionalHeader.Subsystem, console ? IMAGE_SUBSYSTEM_WINDOWS_CUI : IMAGE_SUBSYSTEM_WINDOWS_GUI);
        const std::set<std::string> windowsDlls = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
                                                   "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "user32.dll"};
        const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        ASSERT_NE(imports, 0u) << "no import table";
        for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports); entry->Name; ++entry) {
            std::string name = reinterpret_cast<const char*>(base + entry->Name);
            std::ranges::transform(name, name.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
            EXPECT_TRUE(windowsDlls.count(name)) << name << " is not part of Windows";
        }
        for (int size : {16, 32, 48, 256})
            EXPECT_TRUE(console || LoadImageW(image, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, 0)) << size;
        FreeLibrary(image);
    }
}
