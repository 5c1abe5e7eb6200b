#include <gtest/gtest.h>

#include <set>

#include "core/apply/Apply.h"
#include "core/apply/ApplyJournal.h"
#include "core/apply/Deploy.h"
#include "core/apply/Uninstall.h"
#include "core/modules/RowEditing.h"
#include "platform/TempFile.h"
#include "Scene.h"

namespace {

const std::string kOldMenu = "\"DraftAssist\" \"Old\" \"CAD\" \"REGULAR\"\r\nfree text\r\n\r\n";

// "target(reason)" for every failed copy of a problem.
std::wstring Failed(const ModuleProblem& problem)
{
    std::wstring text;
    for (const FailedCopy& failed : problem.failedCopies)
        text += failed.targetName + L"(" + std::to_wstring(static_cast<int>(failed.reason)) + L")";
    return text;
}

}  // namespace

TEST(Deploy, MatchKeysTargetNamesAndWhichFilesBelongToAModule)
{
    std::wstring keys;
    for (const wchar_t* module : {L"apFoo.dll", L"appaFoo.dll", L"apFool.DLL", L"apBald.dll", L"Apex.dll", L"apapp.dll", L"ap"})
        keys += MatchKey(module) + L" ";
    EXPECT_EQ(keys, L"Foo Foo Fool.DLL Ba Apex   ") << "character sets, case-sensitive";

    std::wstring targets;
    for (const wchar_t* file : {L"apFoo.dll", L"apFoo.DLL", L"apFoo_16.png", L"Foo.png", L"apFoo.txt", L"Foo"})
        targets += TargetName(file, L"apBar.dll") + L" ";
    EXPECT_EQ(targets, L"apBar.dll apBar.DLL apBar_16.png apBarFoo.png apFoo.txt Foo ");
    for (const wchar_t* base : {L"ap..\\x.dll", L"apa/b.dll", L"apC:x.dll", L"ap...dll"})
        EXPECT_FALSE(IsUsableNamingBase(base)) << Utf8(base);
    for (const wchar_t* name : {L"", L".", L"..", L"a\\b", L"a/b", L"c:x", L"a?b", L"tab\t"})
        EXPECT_FALSE(IsPlainFileName(name)) << Utf8(name);
    EXPECT_TRUE(IsUsableNamingBase(L"apBar.dll") && IsPlainFileName(L"apBar_16.png"));

    CStringArray paths, names;
    FindModuleFiles(L"C:\\m", {L"apFoo.dll", L"apfoo.png", L"xFooy.txt", L"Fo.o"}, L"apFoo.dll", paths, names);
    EXPECT_EQ(std::vector<std::wstring>(names.begin(), names.end()), (std::vector<std::wstring>{L"apFoo.dll", L"xFooy.txt"}))
        << "the key is a case-sensitive substring";
    EXPECT_EQ(paths.GetAt(1), L"C:\\m\\xFooy.txt");
    FindModuleFiles(L"C:\\m", {L"apFoo.dll"}, L"apapp.dll", paths, names);
    EXPECT_EQ(names.GetSize(), 2) << "an empty key selects nothing";
}

TEST(Apply, AddedModulesTakeTheirOwnOrTheFirstFreeCatalogueNamesInRowOrder)
{
    Scene scene;
    WriteFileBytes(scene.MenuPath(), kOldMenu);
    scene.catalogue.MarkPresent(0);
    WriteFileBytes(scene.InAddIn(L"apInterSnap_16.png"), "older picture");
    scene.Add(L"apWidget.dll", L"Widget", scene.Source(L"apWidget.dll"));
    for (const wchar_t* name : {L"apWidget_16.png", L"apWidget.txt", L"unrelated.dll"})
        scene.Source(name);
    CreateDirectoryW((scene.source + L"\\Widget_parts").c_str(), nullptr);
    scene.table.AppendRow({RowStatus::Loaded, L"apDraftAssist.dll", L"apDraftAssist.dll", L"Old", L""}, L"");
    scene.Add(L"apCAMDRILL.dll", L"Drill", scene.Source(L"apCAMDRILL.dll"));
    CreateDirectoryW((scene.dir / L"gadget").c_str(), nullptr);
    WriteFileBytes(scene.dir / L"gadget\\apGadget.dll", "gadget");
    WriteFileBytes(scene.dir / L"gadget\\apGadget_32.png", "gadget picture");
    scene.Add(L"apGadget.dll", L"Gadget", scene.dir / L"gadget\\apGadget.dll");
    WriteFileBytes(scene.InAddIn(L"~tq2zul-1f2e-3d.tmp"), "left by an interrupted run");

    const ApplyOutcome outcome = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);

    ASSERT_EQ(outcome.result, ApplyResult::Applied);
    EXPECT_TRUE(outcome.problems.empty());
    EXPECT_EQ(scene.AddIn(L"apInterSnap.dll"), Content(L"apWidget.dll"));
    EXPECT_EQ(scene.AddIn(L"apInterSnap_16.png"), Content(L"apWidget_16.png")) << "an existing target is replaced";
    EXPECT_EQ(scene.AddIn(L"apWidget.txt"), Content(L"apWidget.txt"));
    EXPECT_EQ(scene.AddIn(L"apCAMDRILL.dll"), Content(L"apCAMDRILL.dll")) << "a free catalogue name, own spelling";
    EXPECT_EQ(scene.AddIn(L"apCamToolpath.dll"), "gadget");
    EXPECT_EQ(scene.AddIn(L"apCamToolpath_32.png"), "gadget picture");
    EXPECT_EQ(outcome.filesCopied, 6);
    EXPECT_EQ(ListFolderFiles(scene.addIn).size(), 7u) << "nothing unrelated, no leftover temporary file";
    EXPECT_EQ(scene.Menu(), kOldMenu + "\"InterSnap\" \"Widget\" \"CAD\" \"INTERRUPT\"\r\n"
                                       "\"CAMDRILL\" \"Drill\" \"CAM\" \"REGULAR\"\r\n"
                                       "\"CamToolpath\" \"Gadget\" \"CAM\" \"REGULAR\"\r\n");
    EXPECT_EQ(outcome.entriesAppended, 3);
    EXPECT_TRUE(scene.catalogue.IsPresent(1) && scene.catalogue.IsPresent(2) && scene.catalogue.IsPresent(11));
    EXPECT_EQ(scene.PresentCount(), 4);

    // The names stay taken: applying the same rows again hands out the next free ones.
    ASSERT_EQ(ApplyPendingModules(scene.table, scene.catalogue, scene.addIn).result, ApplyResult::Applied);
    EXPECT_TRUE(PathExists(scene.InAddIn(L"apLayerManager.dll")));
    EXPECT_EQ(scene.PresentCount(), 7);
}

TEST(Apply, AReplacedModuleIsCopiedUnderTheInstalledNameWithoutANewLine)
{
    Scene scene;
    WriteFileBytes(scene.MenuPath(), kOldMenu);
    scene.catalogue.MarkPresent(0);
    WriteFileBytes(scene.InAddIn(L"apDraftAssist.dll"), "installed");
    for (const wchar_t* name : {L"apSnapper_16.png", L"apSnapper.cfg"})
        scene.Source(name);
    scene.Replace(L"apDraftAssist.dll", L"apSnapper.dll", scene.Source(L"apSnapper.dll"));

    const ApplyOutcome outcome = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);

    ASSERT_EQ(outcome.result, ApplyResult::Applied);
    EXPECT_TRUE(outcome.problems.empty());
    EXPECT_EQ(scene.AddIn(L"apDraftAssist.dll"), Content(L"apSnapper.dll"));
    EXPECT_EQ(scene.AddIn(L"apDraftAssist_16.png"), Content(L"apSnapper_16.png"));
    EXPECT_EQ(scene.AddIn(L"apSnapper.cfg"), Content(L"apSnapper.cfg"));
    EXPECT_FALSE(PathExists(scene.InAddIn(L"apSnapper.dll")));
    EXPECT_EQ(scene.Menu(), kOldMenu) << "no line for a replaced module";
    EXPECT_EQ(scene.PresentCount(), 1) << "a replacement takes no catalogue name";

    // A name edited in the list goes into the module's own line, and nothing else changes.
    WriteFileBytes(scene.MenuPath(), "x\n \"DraftAssist\"  \" Old \" \"CAD\" \"REGULAR\"\n");
    scene.table.SetMenuName(0, L"새 이름");
    ASSERT_EQ(ApplyPendingModules(scene.table, scene.catalogue, scene.addIn).namesChanged, 1);
    EXPECT_EQ(scene.Menu(), "x\r\n \"DraftAssist\"  \" \xBB\xF5 \xC0\xCC\xB8\xA7 \" \"CAD\" \"REGULAR\"\r\n");
    for (const wchar_t* name : {L"\u0E01", L"a \"quoted\" name"}) {
        scene.table.SetMenuName(0, name);
        EXPECT_EQ(ApplyPendingModules(scene.table, scene.catalogue, scene.addIn).result, ApplyResult::UnencodableText)
            << "a quote would end the field early";
    }
}

TEST(Apply, ModulesWithoutAKeyOrAFreeNameOrSafeTargets)
{
    Scene scene;
    for (const wchar_t* name : {L"other.dll", L"picture.png"})
        scene.Source(name);
    scene.Add(L"ap", L"No name", scene.Source(L"MyTool.dll"));
    scene.Add(L"apapp.dll", L"Trimmed away", scene.Source(L"Second.dll"));
    for (const wchar_t* name : {L"apEvil.dll", L"apEvil_16.png", L"apEvil.txt"})
        scene.Source(name);
    scene.Replace(L"ap\\..\\..\\Evil.dll", L"apEvil.dll", scene.source + L"\\apEvil.dll");

    ApplyOutcome outcome = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);

    ASSERT_EQ(outcome.result, ApplyResult::Applied);
    EXPECT_EQ(scene.AddIn(L"apDraftAssist.dll"), Content(L"MyTool.dll")) << "no key: the chosen file alone";
    EXPECT_EQ(scene.AddIn(L"apInterSnap.dll"), Content(L"Second.dll"));
    EXPECT_FALSE(PathExists(scene.InAddIn(L"other.dll")) || PathExists(scene.InAddIn(L"MyTool.dll")));
    EXPECT_EQ(scene.Menu(), "\"DraftAssist\" \"No name\" \"CAD\" \"REGULAR\"\r\n"
                            "\"InterSnap\" \"Trimmed away\" \"CAD\" \"INTERRUPT\"\r\n")
        << "a menu file that did not exist holds only the new entries";
    EXPECT_FALSE(PathExists(scene.host + L"\\Evil.dll") || PathExists(scene.host + L"\\Evil_16.png"));
    EXPECT_TRUE(PathExists(scene.InAddIn(L"apEvil.txt"))) << "files under their own names still go";
    ASSERT_EQ(outcome.problems.size(), 1u);
    EXPECT_EQ(outcome.problems[0].module + Failed(outcome.problems[0]), L"apEvil.dllap\\..\\..\\Evil.dll(5)ap\\..\\..\\Evil_16.png(5)");

    // With every catalogue name in use, an added module is not installed, and said so.
    for (int i = 0; i < kCatalogueSize; ++i)
        scene.catalogue.MarkPresent(i);
    scene.table.Clear();
    scene.Add(L"apWidget.dll", L"Widget", scene.Source(L"apWidget.dll"));
    outcome = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);
    ASSERT_EQ(outcome.problems.size(), 1u);
    EXPECT_TRUE(outcome.problems[0].noFreeName && outcome.written.size() == 1) << "the menu file alone";
}

TEST(Apply, FailedCopiesAndMissingFilesAreReportedPerModule)
{
    Scene scene;
    // A running host holds the modules it loaded.
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_TRUE(CopyFileW((std::wstring(system) + L"\\version.dll").c_str(), scene.InAddIn(L"apDraftAssist.dll").c_str(), FALSE));
    HMODULE loaded = LoadLibraryW(scene.InAddIn(L"apDraftAssist.dll").c_str());
    ASSERT_NE(loaded, nullptr);
    const std::string installed = scene.AddIn(L"apDraftAssist.dll");
    WriteFileBytes(scene.InAddIn(L"apInterSnap.dll"), "read-only");
    SetFileAttributesW(scene.InAddIn(L"apInterSnap.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    scene.Add(L"apWidget.dll", L"Widget", scene.Source(L"apWidget.dll"));
    scene.Source(L"apWidget_16.png");
    scene.Add(L"apGadget.dll", L"Gadget", scene.Source(L"apGadget.dll"));
    scene.Add(L"apFine.dll", L"Fine", scene.Source(L"apFine.dll"));
    scene.Add(L"apNowhere.dll", L"Nowhere", scene.dir / L"missing\\apNowhere.dll");
    scene.Add(L"ap", L"Gone", scene.source + L"\\gone.dll");

    const ApplyOutcome outcome = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);
    FreeLibrary(loaded);
    SetFileAttributesW(scene.InAddIn(L"apInterSnap.dll").c_str(), FILE_ATTRIBUTE_NORMAL);

    ASSERT_EQ(outcome.result, ApplyResult::Applied);
    EXPECT_EQ(scene.AddIn(L"apDraftAssist.dll"), installed) << "the held DLL is untouched";
    EXPECT_EQ(scene.AddIn(L"apDraftAssist_16.png"), Content(L"apWidget_16.png")) << "its other files still go";
    EXPECT_EQ(scene.AddIn(L"apInterSnap.dll"), "read-only");
    EXPECT_EQ(scene.AddIn(L"apCamToolpath.dll"), Content(L"apFine.dll"));
    EXPECT_EQ(outcome.entriesAppended, 5) << "every module that obtained a name keeps its entry";
    ASSERT_EQ(outcome.problems.size(), 4u);
    const ModuleProblem* p = outcome.problems.data();
    ASSERT_EQ(p[0].failedCopies.size(), 1u) << "held by the host";
    EXPECT_EQ(p[0].module + p[0].failedCopies[0].targetName, L"apWidget.dllapDraftAssist.dll");
    EXPECT_EQ(p[1].module + Failed(p[1]), L"apGadget.dllapInterSnap.dll(4)") << "read-only";
    EXPECT_EQ(p[2].module + Failed(p[2]), L"apNowhere.dllapLayerManager.dll(0)") << "its folder has gone";
    EXPECT_EQ(p[3].module + Failed(p[3]), L"gone.dllapInterMeasure.dll(0)") << "no internal name: named by its file";
    for (const std::wstring& name : ListFolderFiles(scene.addIn))
        EXPECT_FALSE(IsToolTempName(name)) << Utf8(name);
}

TEST(Apply, RefusalsComeBeforeAnythingIsWrittenAndLeaveTheNamesFree)
{
    Scene scene;
    WriteFileBytes(scene.MenuPath(), kOldMenu);
    scene.Add(L"apWidget.dll", L"Widget", scene.Source(L"apWidget.dll"));
    const auto untouched = [&](const char* why) {
        EXPECT_EQ(ListFolderFiles(scene.addIn), std::vector<std::wstring>{L"zulmenu.txt"}) << why;
        EXPECT_EQ(scene.Menu(), kOldMenu) << why;
        EXPECT_EQ(scene.PresentCount(), 0) << why;
    };

    EXPECT_EQ(ApplyPendingModules(scene.table, scene.catalogue, L"").result, ApplyResult::NoHost);
    untouched("no host");

    HANDLE held = CreateFileW(scene.MenuPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ApplyOutcome refused = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);
    CloseHandle(held);
    EXPECT_EQ(refused.result, ApplyResult::MenuFileNotWritable);
    EXPECT_EQ(refused.menuFailure, MenuFailure::Held) << "the host is running";
    untouched("menu file held");
    SetFileAttributesW(scene.MenuPath().c_str(), FILE_ATTRIBUTE_READONLY);
    refused = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);
    SetFileAttributesW(scene.MenuPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(refused.menuFailure, MenuFailure::NoPermission);
    untouched("menu file read-only");
    EXPECT_EQ(ApplyPendingModules(scene.table, scene.catalogue, scene.dir / L"Host 2.0\\zul_ap").result,
              ApplyResult::MenuFileNotWritable);
    EXPECT_FALSE(PathExists(scene.dir / L"Host 2.0")) << "a level with a dot is not created";

    scene.Add(L"apSmile.dll", L"Smile \U00010000", scene.Source(L"apSmile.dll"));
    scene.Add(L"apThai.dll", L"\u0E01\u0E02", scene.Source(L"apThai.dll"));
    const ApplyOutcome bad = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);
    EXPECT_EQ(bad.result, ApplyResult::UnencodableText);
    ASSERT_EQ(bad.unencodable.size(), 2u);
    EXPECT_EQ(bad.unencodable[0].module, L"apSmile.dll");
    EXPECT_EQ(bad.unencodable[0].character, U'\U00010000') << "the first pair of surrogates";
    EXPECT_EQ(bad.unencodable[1].character, U'\u0E01');
    untouched("unencodable entries");

    // Renamed in the list to what the code page holds, the rows install into a new chain.
    scene.table.RemoveRow(2);
    EXPECT_EQ(StoreEditedMenuName(scene.table, 1, kColumnMenuName, L"한글"), CellEditDecision::Stored);
    const std::wstring fresh = scene.dir / L"new\\host\\zul_ap";
    ASSERT_EQ(ApplyPendingModules(scene.table, scene.catalogue, fresh).result, ApplyResult::Applied);
    EXPECT_EQ(ReadFileBytes(fresh + L"\\zulmenu.txt"), "\"DraftAssist\" \"Widget\" \"CAD\" \"REGULAR\"\r\n"
                                                       "\"InterSnap\" \"\xC7\xD1\xB1\xDB\" \"CAD\" \"INTERRUPT\"\r\n")
        << "the retry hands out the first names again";
}

TEST(Apply, TheChosenFileIsTheModulesDllAndNoOtherModulesFileIsOverwritten)
{
    Scene scene;
    WriteFileBytes(scene.MenuPath(), "\"DraftAssist\" \"d\" \"CAD\" \"REGULAR\"\r\n\"CamDrillPro\" \"p\" \"CAM\" \"REGULAR\"\r\n");
    scene.catalogue.MarkPresent(0);
    for (const wchar_t* name : {L"apCamDrillPro.dll", L"apCamDrillPro_16.png"})
        WriteFileBytes(scene.InAddIn(name), "installed");
    // Under a catalogue name: every DLL beside would take the one target.
    for (const wchar_t* name : {L"apFoo.dll", L"apFoo_old.dll", L"apFoo.cfg"})
        scene.Source(name);
    scene.Add(L"apFoo.dll", L"Foo", scene.Source(L"Tool.dll"));
    // Under its own free name, spelled otherwise, beside another module's files.
    CreateDirectoryW((scene.dir / L"drill").c_str(), nullptr);
    for (const wchar_t* name : {L"apCamDrill_v2.dll", L"apCamDrillPro.dll", L"apCamDrillPro_16.png", L"apCamDrill_16.png"})
        WriteFileBytes(scene.dir / (std::wstring(L"drill\\") + name), "new " + Utf8(name));
    scene.Add(L"apCamDrill.dll", L"Drill", scene.dir / L"drill\\apCamDrill_v2.dll");

    const ApplyOutcome outcome = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);

    ASSERT_EQ(outcome.result, ApplyResult::Applied);
    EXPECT_EQ(scene.AddIn(L"apInterSnap.dll"), Content(L"Tool.dll")) << "the chosen file, whatever its name";
    EXPECT_EQ(scene.AddIn(L"apFoo.cfg"), Content(L"apFoo.cfg")) << "companions keep the substring rule";
    EXPECT_EQ(scene.AddIn(L"apCamDrill.dll"), "new apCamDrill_v2.dll") << "under the name its entry names";
    EXPECT_EQ(scene.AddIn(L"apCamDrill_16.png"), "new apCamDrill_16.png");
    EXPECT_EQ(scene.AddIn(L"apCamDrillPro.dll") + scene.AddIn(L"apCamDrillPro_16.png"), "installedinstalled");
    EXPECT_FALSE(PathExists(scene.InAddIn(L"apCamDrill_v2.dll")));
    std::set<std::wstring> skipped;  // folders list in no fixed order
    for (const SkippedFile& file : outcome.skipped)
        skipped.insert(file.module + L":" + FileNameOf(file.copy.source) + L">" + file.copy.targetName +
                       (file.copy.reason == SkipReason::SameTarget ? L"=same" : L"=other"));
    EXPECT_EQ(skipped, (std::set<std::wstring>{L"apFoo.dll:apFoo.dll>apInterSnap.dll=same",
                                               L"apFoo.dll:apFoo_old.dll>apInterSnap.dll=same",
                                               L"apCamDrill.dll:apCamDrillPro.dll>apCamDrillPro.dll=other",
                                               L"apCamDrill.dll:apCamDrillPro_16.png>apCamDrillPro_16.png=other"}));
    EXPECT_TRUE(scene.Menu().ends_with("\"InterSnap\" \"Foo\" \"CAD\" \"INTERRUPT\"\r\n\"CamDrill\" \"Drill\" \"CAM\" \"REGULAR\"\r\n"));
}

TEST(ApplyJournal, AnUnfinishedRunIsRolledBackAndTheLastFinishedOnesAreKept)
{
    Scene scene;
    WriteFileBytes(scene.MenuPath(), "old menu\r\n");
    WriteFileBytes(scene.InAddIn(L"apA.dll"), "old a");
    const std::wstring source = scene.Source(L"new.dll");
    const auto journals = [&] { return ListSubfolders(scene.addIn + L"\\" + kJournalFolder).size(); };
    {
        ApplyJournal killed;  // stopped before the end: never finished or rolled back
        ASSERT_TRUE(killed.Begin(scene.addIn, {L"apA.dll", L"apB.dll", L"apC.dll"}, true, "old menu\r\n"));
        EXPECT_EQ(killed.Replace(0, source), 0u);
        EXPECT_EQ(killed.Replace(1, source), 0u);
        WriteFileBytes(scene.MenuPath(), "new menu");
    }
    EXPECT_EQ(scene.AddIn(L"apA.dll") + scene.AddIn(L"apB.dll"), Content(L"new.dll") + Content(L"new.dll"));
    // The next Apply puts it back before it looks at anything.
    EXPECT_EQ(ApplyPendingModules(scene.table, scene.catalogue, scene.addIn).result, ApplyResult::Applied);
    EXPECT_EQ(Snapshot(scene.addIn), (decltype(Snapshot(L""))({{L"apA.dll", "old a"}, {L"zulmenu.txt", "old menu\r\n"}})));
    EXPECT_EQ(journals(), 1u) << "the rolled-back run leaves no journal, the Apply its own";

    HANDLE held = CreateFileW(scene.InAddIn(L"apA.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    for (int run = 0; run < kJournalsKept + 2; ++run) {
        ApplyJournal journal;
        ASSERT_TRUE(journal.Begin(scene.addIn, {L"apA.dll", L"apD.dll"}, false, ""));
        EXPECT_EQ(ClassifyCopyError(journal.Replace(0, source)), CopyFailure::InUse) << "a held target stays";
        EXPECT_EQ(journal.Replace(1, source), 0u);
        journal.Finish();
    }
    CloseHandle(held);
    EXPECT_EQ(journals(), static_cast<size_t>(kJournalsKept));
    EXPECT_EQ(RecoverUnfinishedApply(scene.addIn), 0) << "finished runs stay";
    EXPECT_EQ(scene.AddIn(L"apA.dll"), "old a");
}

TEST(Uninstall, RemovesAModulesLinesAndFilesAndUndoPutsThemBack)
{
    Scene scene;
    const std::string menu = "free text\r\n\"DraftAssist\" \"d\" \"CAD\" \"REGULAR\"\r\n\"InterSnap\" \"s\" \"CAD\" \"INTERRUPT\"\r\n";
    WriteFileBytes(scene.MenuPath(), menu);
    for (const wchar_t* name : {L"apDraftAssist.dll", L"apDraftAssist_16.png", L"apDraftAssist.cfg", L"apInterSnap.dll", L"apInterSnap_16.png"})
        WriteFileBytes(scene.InAddIn(name), Utf8(name));
    const auto before = Snapshot(scene.addIn);

    const UninstallOutcome outcome = UninstallModules(scene.addIn, {L"draftassist", L"apNope.dll"});
    EXPECT_EQ(outcome.result, ApplyResult::Applied);
    EXPECT_EQ(outcome.removed, std::vector<std::wstring>{L"apDraftAssist.dll"});
    EXPECT_EQ(outcome.notInstalled, std::vector<std::wstring>{L"apNope.dll"});
    EXPECT_EQ(scene.Menu(), "free text\r\n\"InterSnap\" \"s\" \"CAD\" \"INTERRUPT\"\r\n") << "only its line goes";
    EXPECT_EQ(ListFolderFiles(scene.addIn).size(), 4u) << "its DLL and picture go, other files stay";
    EXPECT_TRUE(PathExists(scene.InAddIn(L"apDraftAssist.cfg")));
    EXPECT_EQ(UninstallModules(scene.addIn, {L"DraftAssist"}).removed.size(), 0u) << "not installed: nothing to do";

    EXPECT_TRUE(UndoLastChange(scene.addIn));
    EXPECT_EQ(Snapshot(scene.addIn), before);
    EXPECT_FALSE(UndoLastChange(scene.addIn)) << "nothing further back";
    HANDLE held = CreateFileW(scene.InAddIn(L"apInterSnap.dll").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    const UninstallOutcome refused = UninstallModules(scene.addIn, {L"InterSnap"});
    CloseHandle(held);
    EXPECT_TRUE(refused.menuFailure == MenuFailure::Held && refused.written.empty() && refused.removed.empty());
    EXPECT_EQ(Snapshot(scene.addIn), before) << "a module is removed whole or not at all";
    EXPECT_EQ(UninstallModules(L"", {L"x"}).result, ApplyResult::NoHost);
}
