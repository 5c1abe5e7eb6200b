#include <gtest/gtest.h>

#include "menu/Apply.h"
#include "platform/TempFile.h"
#include "support/TestSupport.h"
#include "ApplyScene.h"

namespace {

const std::string kOldMenu = "\"DraftAssist\" \"Old\" \"CAD\" \"REGULAR\"\r\nfree text\r\n\r\n";

std::string Content(const std::wstring& name)
{
    return "content of " + Utf8(name);
}

std::string Joined(const std::vector<std::wstring>& messages)
{
    std::string all;
    for (const std::wstring& m : messages)
        all += Utf8(m) + "\n----\n";
    return all;
}

}  // namespace

TEST(Apply, AddedModulesTakeTheirOwnOrTheFirstFreeCatalogueNamesInRowOrder)
{
    ApplyScene scene;
    WriteFileBytes(scene.MenuPath(), kOldMenu);
    scene.catalogue.MarkPresent(0);
    WriteFileBytes(scene.InAddIn(L"apInterSnap_16.png"), "older picture");

    scene.Add(L"apWidget.dll", L"Widget", scene.Source(L"apWidget.dll"));
    scene.Source(L"apWidget_16.png");
    scene.Source(L"apWidget.txt");
    scene.Source(L"unrelated.dll");
    CreateDirectoryW(scene.InSource(L"Widget_parts").c_str(), nullptr);
    scene.table.AppendLoadedRow({kStatusLoaded, L"apDraftAssist.dll", L"apDraftAssist.dll", L"Old",
                                 scene.InAddIn(L"apDraftAssist.dll")}, L"");
    scene.table.AppendLoadedRow({kStatusExisting, L"apExisting.dll", L"apExisting.dll", L"x",
                                 scene.Source(L"apExisting.dll")}, L"");
    scene.Add(L"apCAMDRILL.dll", L"Drill", scene.Source(L"apCAMDRILL.dll"));
    CreateDirectoryW((scene.dir / L"gadget").c_str(), nullptr);
    const std::wstring gadget = scene.dir / L"gadget\\apGadget.dll";
    WriteFileBytes(gadget, "gadget");
    WriteFileBytes(scene.dir / L"gadget\\apGadget_32.png", "gadget picture");
    scene.Add(L"apGadget.dll", L"Gadget", gadget);

    const ApplyOutcome outcome = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);

    ASSERT_EQ(outcome.result, ApplyResult::Applied);
    EXPECT_TRUE(ApplyMessages(outcome).empty()) << Joined(ApplyMessages(outcome));
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apInterSnap.dll")), Content(L"apWidget.dll"));
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apInterSnap_16.png")), Content(L"apWidget_16.png"))
        << "an existing target is overwritten";
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apWidget.txt")), Content(L"apWidget.txt"));
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apCAMDRILL.dll")), Content(L"apCAMDRILL.dll"))
        << "a free catalogue name is kept, in the file's own spelling";
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apCamToolpath.dll")), "gadget");
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apCamToolpath_32.png")), "gadget picture");
    EXPECT_FALSE(FileExists(scene.InAddIn(L"unrelated.dll")));
    EXPECT_FALSE(FileExists(scene.InAddIn(L"Widget_parts")));
    EXPECT_FALSE(FileExists(scene.InAddIn(L"apExisting.dll"))) << "only added and replaced rows deploy";
    EXPECT_EQ(outcome.filesCopied, 6);

    EXPECT_EQ(scene.Menu(), kOldMenu +
                                "\"InterSnap\" \"Widget\" \"CAD\" \"INTERRUPT\"\r\n"
                                "\"CAMDRILL\" \"Drill\" \"CAM\" \"REGULAR\"\r\n"
                                "\"CamToolpath\" \"Gadget\" \"CAM\" \"REGULAR\"\r\n");
    EXPECT_EQ(scene.PresentCount(), 4);
    EXPECT_TRUE(scene.catalogue.IsPresent(1) && scene.catalogue.IsPresent(2) && scene.catalogue.IsPresent(11));

    // The names stay taken: applying the same rows again hands out the next free ones.
    const ApplyOutcome again = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);
    ASSERT_EQ(again.result, ApplyResult::Applied);
    EXPECT_TRUE(FileExists(scene.InAddIn(L"apLayerManager.dll")));
    EXPECT_EQ(scene.PresentCount(), 7);
}

TEST(Apply, AReplacedModuleIsCopiedUnderTheInstalledNameWithoutANewLine)
{
    ApplyScene scene;
    WriteFileBytes(scene.MenuPath(), kOldMenu);
    scene.catalogue.MarkPresent(0);
    WriteFileBytes(scene.InAddIn(L"apDraftAssist.dll"), "installed");
    WriteFileBytes(scene.InAddIn(L"apDraftAssist_16.png"), "installed picture");
    scene.Source(L"apSnapper.dll");
    scene.Source(L"apSnapper_16.png");
    scene.Source(L"apSnapper.cfg");
    scene.Replace(L"apDraftAssist.dll", L"apSnapper.dll", scene.InSource(L"apSnapper.dll"));
    scene.table.menuName.SetAt(0, L"edited");
    WriteFileBytes(scene.InAddIn(L"~tq2zul-1f2e-3d.tmp"), "left by an interrupted run");
    WriteFileBytes(scene.InAddIn(L"~tq2zul-notes.tmp"), "a user's file");

    const ApplyOutcome outcome = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);

    ASSERT_EQ(outcome.result, ApplyResult::Applied);
    EXPECT_TRUE(ApplyMessages(outcome).empty()) << Joined(ApplyMessages(outcome));
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apDraftAssist.dll")), Content(L"apSnapper.dll"));
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apDraftAssist_16.png")), Content(L"apSnapper_16.png"));
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apSnapper.cfg")), Content(L"apSnapper.cfg"));
    EXPECT_FALSE(FileExists(scene.InAddIn(L"apSnapper.dll")));
    EXPECT_EQ(scene.Menu(), kOldMenu) << "no line for a replaced module, and an edited name does not reach the file";
    EXPECT_EQ(scene.PresentCount(), 1) << "a replacement takes no catalogue name";
    EXPECT_FALSE(FileExists(scene.InAddIn(L"~tq2zul-1f2e-3d.tmp")));
    EXPECT_TRUE(FileExists(scene.InAddIn(L"~tq2zul-notes.tmp"))) << "only names the tool makes are removed";
}

TEST(Apply, WithEveryCatalogueNameInUseAnAddedModuleIsReportedNotInstalled)
{
    ApplyScene scene;
    WriteFileBytes(scene.MenuPath(), kOldMenu);
    for (int i = 0; i < kCatalogueSize; ++i)
        scene.catalogue.MarkPresent(i);
    scene.Add(L"apWidget.dll", L"Widget", scene.Source(L"apWidget.dll"));

    const ApplyOutcome outcome = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);

    ASSERT_EQ(outcome.result, ApplyResult::Applied);
    EXPECT_EQ(scene.Menu(), kOldMenu);
    EXPECT_FALSE(FileExists(scene.InAddIn(L"apWidget.dll")));
    const std::vector<std::wstring> messages = ApplyMessages(outcome);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"아래 모듈은 제대로 설치되지 않았습니다.\n"
                           L"[1]. apWidget.dll: 남은 모듈 이름이 없어 설치하지 않았습니다\n");
}

TEST(Apply, AModuleWithoutAMatchKeyDeploysTheChosenFileAlone)
{
    ApplyScene scene;
    for (const wchar_t* name : {L"other.dll", L"picture.png", L"notes.txt"})
        scene.Source(name);
    scene.Add(L"ap", L"No name", scene.Source(L"MyTool.dll"));
    scene.Add(L"apapp.dll", L"Trimmed away", scene.Source(L"Second.dll"));

    const ApplyOutcome outcome = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);

    ASSERT_EQ(outcome.result, ApplyResult::Applied);
    EXPECT_EQ(outcome.filesCopied, 2);
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apDraftAssist.dll")), Content(L"MyTool.dll"));
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apInterSnap.dll")), Content(L"Second.dll"));
    for (const wchar_t* name : {L"other.dll", L"picture.png", L"notes.txt", L"MyTool.dll"})
        EXPECT_FALSE(FileExists(scene.InAddIn(name))) << Utf8(name);
    EXPECT_EQ(scene.Menu(), "\"DraftAssist\" \"No name\" \"CAD\" \"REGULAR\"\r\n"
                            "\"InterSnap\" \"Trimmed away\" \"CAD\" \"INTERRUPT\"\r\n")
        << "a menu file that did not exist holds only the new entries";
}

TEST(Apply, NamesFromTheMenuFileNeverWriteOutsideTheAddInFolder)
{
    ApplyScene scene;
    scene.Source(L"apEvil.dll");
    scene.Source(L"apEvil_16.png");
    scene.Source(L"apEvil.txt");
    scene.Replace(L"ap\\..\\..\\Evil.dll", L"apEvil.dll", scene.InSource(L"apEvil.dll"));

    const ApplyOutcome outcome = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);

    ASSERT_EQ(outcome.result, ApplyResult::Applied);
    EXPECT_FALSE(FileExists(scene.host + L"\\Evil.dll"));
    EXPECT_FALSE(FileExists(scene.host + L"\\Evil_16.png"));
    EXPECT_TRUE(FileExists(scene.InAddIn(L"apEvil.txt"))) << "files under their own names are still deployed";
    ASSERT_EQ(outcome.problems.size(), 1u);
    ASSERT_EQ(outcome.problems[0].failedCopies.size(), 2u);
    EXPECT_EQ(outcome.problems[0].failedCopies[0].error, kErrorTargetOutsideFolder);
    const std::vector<std::wstring> messages = ApplyMessages(outcome);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(L"[1]. apEvil.dll: "), std::wstring::npos) << Joined(messages);
    EXPECT_NE(messages[0].find(L"허용되지 않는 파일 이름"), std::wstring::npos) << Joined(messages);
}

TEST(Apply, FailedCopiesAndMissingFilesAreReportedPerModule)
{
    ApplyScene scene;
    // A running host holds its loaded modules; a loaded DLL is what it holds.
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, static_cast<UINT>(std::size(system)));
    ASSERT_TRUE(CopyFileW((std::wstring(system) + L"\\version.dll").c_str(),
                          scene.InAddIn(L"apDraftAssist.dll").c_str(), FALSE));
    HMODULE loaded = LoadLibraryW(scene.InAddIn(L"apDraftAssist.dll").c_str());
    ASSERT_NE(loaded, nullptr);
    const std::string installed = ReadFileBytes(scene.InAddIn(L"apDraftAssist.dll"));
    WriteFileBytes(scene.InAddIn(L"apInterSnap.dll"), "read-only");
    SetFileAttributesW(scene.InAddIn(L"apInterSnap.dll").c_str(), FILE_ATTRIBUTE_READONLY);

    scene.Add(L"apWidget.dll", L"Widget", scene.Source(L"apWidget.dll"));
    scene.Source(L"apWidget_16.png");
    scene.Add(L"apGadget.dll", L"Gadget", scene.Source(L"apGadget.dll"));
    scene.Add(L"apFine.dll", L"Fine", scene.Source(L"apFine.dll"));
    scene.Add(L"apNowhere.dll", L"Nowhere", scene.dir / L"missing\\apNowhere.dll");
    scene.Add(L"ap", L"Gone", scene.InSource(L"gone.dll"));

    const ApplyOutcome outcome = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);
    FreeLibrary(loaded);
    SetFileAttributesW(scene.InAddIn(L"apInterSnap.dll").c_str(), FILE_ATTRIBUTE_NORMAL);

    ASSERT_EQ(outcome.result, ApplyResult::Applied);
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apDraftAssist.dll")), installed) << "the held DLL is untouched";
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apDraftAssist_16.png")), Content(L"apWidget_16.png"))
        << "the module's other files are still copied";
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apInterSnap.dll")), "read-only");
    EXPECT_EQ(ReadFileBytes(scene.InAddIn(L"apCamToolpath.dll")), Content(L"apFine.dll"));
    EXPECT_EQ(outcome.entriesAppended, 5) << "every module that obtained a name keeps its entry";
    const std::vector<std::wstring> messages = ApplyMessages(outcome);
    ASSERT_EQ(messages.size(), 1u) << Joined(messages);
    const std::wstring& text = messages[0];
    EXPECT_EQ(text.rfind(L"아래 모듈은 제대로 설치되지 않았습니다.\n", 0), 0u) << Joined(messages);
    EXPECT_NE(text.find(L"[1]. apWidget.dll: 복사하지 못한 파일 apDraftAssist.dll("), std::wstring::npos)
        << Joined(messages);
    EXPECT_NE(text.find(L"[2]. apGadget.dll: 복사하지 못한 파일 apInterSnap.dll(읽기 전용)\n"), std::wstring::npos)
        << Joined(messages);
    EXPECT_NE(text.find(L"[3]. apNowhere.dll: 복사할 파일을 찾지 못했습니다\n"), std::wstring::npos)
        << Joined(messages);
    EXPECT_NE(text.find(L"[4]. gone.dll: 복사하지 못한 파일 apInterMeasure.dll(원본 파일 없음)\n"), std::wstring::npos)
        << "a module without an internal name is named by its file; " << Joined(messages);
    EXPECT_EQ(text.find(L"apFine"), std::wstring::npos) << "a clean module is not listed";
    for (const std::wstring& name : FilesIn(scene.addIn))
        EXPECT_FALSE(IsToolTempName(name)) << "a failed copy leaves no temporary file: " << Utf8(name);
}
