#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/apply/Apply.h"
#include "core/menu/MenuLoader.h"
#include "core/modules/ModuleIntake.h"
#include "platform/FileBytes.h"
#include "platform/Paths.h"
#include "support/ModuleFactory.h"
#include "support/TestSupport.h"

namespace {

// The built tq2zul.exe with arguments.
ProgramRun Tq2zul(const std::wstring& arguments)
{
    return RunProgram(L"\"" + FolderOf(TestBinFolder()) + L"\\bin\\tq2zul.exe\" " + arguments);
}

// A host with two installed modules, and modules to add beside it.
struct Seat {
    TempDir dir;
    std::wstring addIn = dir / L"host\\zul_ap", modules = dir / L"modules";
    std::wstring Host() const { return L" --host \"" + dir / L"host" + L"\""; }

    Seat()
    {
        CreateFolderChain(addIn);
        CreateFolderChain(modules);
        WriteFileBytes(addIn + L"\\zulmenu.txt", "; 메뉴\r\n\"DraftAssist\" \"\xB5\xB5\xB8\xE9\" \"CAD\" \"REGULAR\"\r\n");
        MakeModuleDll(addIn + L"\\apDraftAssist.dll", {L"DraftAssist.dll", L"도면", L"2.0.0.0"});
        for (const auto& [name, internal] : {std::pair{L"apStair.dll", L"Stair.dll"}, {L"apInterGrid.dll", L"InterGrid.dll"}})
            MakeModuleDll(modules + L"\\" + name, {internal, L"계단 " + std::wstring(internal), L"1.0.0.3"});
        WriteFileBytes(modules + L"\\apStair_16.png", "picture");
        WriteFileBytes(modules + L"\\apStair_old.dll", "an older build beside it");
        MakeModuleDll(modules + L"\\apOld.dll", {L"Old.dll", L"old", L"1.0.0.0", false});
    }
    std::wstring Module(const std::wstring& name) const { return L" \"" + modules + L"\\" + name + L"\""; }
};

}  // namespace

TEST(Cli, InstallsAsTheDialogDoesAndRunsAgainWithoutChange)
{
    Seat cli, dialog;
    const ProgramRun installed = Tq2zul(L"install" + cli.Module(L"apStair.dll") + cli.Module(L"apInterGrid.dll") + cli.Host() +
                                 L" --log \"" + cli.dir / L"log.txt\"");
    ASSERT_EQ(installed.code, 0u) << installed.output;

    // What the dialog does for the same choices: add both, then Apply.
    ModuleTable table;
    ModuleCatalogue catalogue;
    catalogue.FillCatalogue();
    LoadMenuFile(dialog.addIn, table, catalogue);
    IntakeSelectedFiles(table, {dialog.modules + L"\\apStair.dll", dialog.modules + L"\\apInterGrid.dll"});
    ASSERT_EQ(ApplyPendingModules(table, catalogue, dialog.addIn).result, ApplyResult::Applied);
    const auto after = Snapshot(cli.addIn);
    EXPECT_EQ(after, Snapshot(dialog.addIn)) << "same names, same bytes, same menu file";
    EXPECT_EQ(after.size(), 5u);
    const std::string log = ReadFileBytes(cli.dir / L"log.txt");
    EXPECT_NE(log.find("install wrote " + Utf8(cli.addIn) + "\\apInterSnap.dll"), std::string::npos) << log;
    EXPECT_NE(log.find("zulmenu.txt"), std::string::npos);

    const ProgramRun again = Tq2zul(L"install" + cli.Module(L"apStair.dll") + cli.Host());
    EXPECT_EQ(again.code, 0u) << again.output;
    EXPECT_EQ(Snapshot(cli.addIn), after) << "installed at this version: no byte changes";
    EXPECT_EQ(Tq2zul(L"list Stair --min-version 1.0.0.3" + cli.Host()).code, 0u);
    EXPECT_EQ(Tq2zul(L"list apStair.dll --min-version 1.0.10" + cli.Host()).code, 6u);
    EXPECT_EQ(Tq2zul(L"list Nothing" + cli.Host()).code, 6u);
}

TEST(Cli, UninstallAndUndoPutEveryByteBack)
{
    Seat seat;
    const auto original = Snapshot(seat.addIn);
    ASSERT_EQ(Tq2zul(L"install" + seat.Module(L"apStair.dll") + seat.Host()).code, 0u);
    const auto installed = Snapshot(seat.addIn);
    const ProgramRun removed = Tq2zul(L"uninstall Stair DraftAssist" + seat.Host());
    EXPECT_EQ(removed.code, 0u) << removed.output;
    EXPECT_EQ(Snapshot(seat.addIn), (decltype(original){{L"zulmenu.txt", "; 메뉴\r\n"}}));
    EXPECT_EQ(Tq2zul(L"uninstall Stair" + seat.Host()).code, 0u) << "not installed: nothing to do, and done";
    EXPECT_EQ(Tq2zul(L"undo" + seat.Host()).code, 0u);
    EXPECT_EQ(Snapshot(seat.addIn), installed);
    EXPECT_EQ(Tq2zul(L"undo" + seat.Host()).code, 0u);
    EXPECT_EQ(Snapshot(seat.addIn), original);
}

TEST(Cli, ExitCodesSayWhyAndJsonAndHangulSurviveRedirection)
{
    Seat seat;
    const auto original = Snapshot(seat.addIn);
    EXPECT_EQ(Tq2zul(L"install" + seat.Module(L"apStair.dll") + L" --host \"" + seat.dir / L"nowhere\"").code, 3u);
    EXPECT_EQ(Tq2zul(L"install" + seat.Module(L"apOld.dll") + seat.Host()).code, 4u) << "32-bit";
    EXPECT_EQ(Tq2zul(L"install" + seat.Module(L"apStair.dll") + seat.Host() + L" --menu-name \"\u0E01\"").code, 4u);
    EXPECT_EQ(Tq2zul(L"install" + seat.Module(L"missing.dll") + seat.Host()).code, 2u);
    EXPECT_EQ(Tq2zul(L"frobnicate").code, 2u);
    HANDLE held = CreateFileW((seat.addIn + L"\\zulmenu.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const ProgramRun busy = Tq2zul(L"install" + seat.Module(L"apStair.dll") + seat.Host());
    CloseHandle(held);
    EXPECT_EQ(busy.code, 1618u) << "the host holds the menu file: retry later";
    EXPECT_NE(busy.output.find(Utf8(L"zulMenu.txt 파일을 수정할수 없습니다.\n다른 프로그램이")), std::string::npos) << busy.output;
    EXPECT_EQ(Snapshot(seat.addIn), original) << "nothing written by any of these";

    WriteFileBytes(seat.addIn + L"\\apInterSnap_16.png", "read-only");
    SetFileAttributesW((seat.addIn + L"\\apInterSnap_16.png").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Tq2zul(L"install" + seat.Module(L"apStair.dll") + seat.Host() + L" --menu-name 한글 --quiet").code, 5u)
        << "partly installed";
    SetFileAttributesW((seat.addIn + L"\\apInterSnap_16.png").c_str(), FILE_ATTRIBUTE_NORMAL);

    const ProgramRun listed = Tq2zul(L"list --json" + seat.Host());
    const nlohmann::json document = nlohmann::json::parse(listed.output);
    EXPECT_EQ(document["exitCode"], 0);
    ASSERT_EQ(document["modules"].size(), 2u);
    EXPECT_EQ(document["modules"][0]["menuName"], Utf8(L"도면"));
    EXPECT_EQ(document["modules"][1]["menuName"], Utf8(L"한글"));
    EXPECT_EQ(document["modules"][1]["dll"], "apInterSnap.dll");
    const ProgramRun checked = Tq2zul(L"check" + seat.Module(L"apInterGrid.dll") + seat.Host());
    EXPECT_EQ(checked.code, 0u);
    EXPECT_NE(checked.output.find(Utf8(L"menu line: \"CamToolpath\" \"계단 InterGrid.dll\" \"CAM\" \"REGULAR\"")), std::string::npos)
        << checked.output;
    const ProgramRun skipping = Tq2zul(L"check" + seat.Module(L"apStair.dll") + seat.Host());
    EXPECT_NE(skipping.output.find(Utf8(L"warning: apStair.dll: apStair_old.dll -> apInterSnap.dll(모듈 파일이")), std::string::npos) << skipping.output;
}
