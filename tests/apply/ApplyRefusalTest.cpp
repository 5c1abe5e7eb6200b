#include <gtest/gtest.h>

#include "app/RowEditing.h"
#include "menu/Apply.h"
#include "resource.h"
#include "support/TestSupport.h"
#include "ApplyScene.h"

namespace {

const std::string kOldMenu = "\"DraftAssist\" \"Old\" \"CAD\" \"REGULAR\"\r\n";

}  // namespace

TEST(ApplyRefusal, WithoutAHostNothingIsCreatedCopiedOrWritten)
{
    ApplyScene scene;
    scene.Add(L"apDraftAssist.dll", L"Draft", scene.Source(L"apDraftAssist.dll"));
    const bool rootMenuBefore = FileExists(L"\\zulmenu.txt");
    const bool rootModuleBefore = FileExists(L"\\apDraftAssist.dll");

    const ApplyOutcome outcome = ApplyPendingModules(scene.table, scene.catalogue, L"");

    EXPECT_EQ(outcome.result, ApplyResult::NoHost);
    EXPECT_FALSE(outcome.MenuRewritten());
    EXPECT_EQ(ApplyMessages(outcome), std::vector<std::wstring>{L"zulMenu.txt 파일을 수정할수 없습니다."});
    if (!rootMenuBefore)
        EXPECT_FALSE(FileExists(L"\\zulmenu.txt")) << "nothing at the root of the current drive";
    if (!rootModuleBefore)
        EXPECT_FALSE(FileExists(L"\\apDraftAssist.dll"));
    EXPECT_EQ(scene.PresentCount(), 0);
}

TEST(ApplyRefusal, AnEntryCodePage949CannotHoldStopsTheRunBeforeAnything)
{
    ApplyScene scene;
    WriteFileBytes(scene.MenuPath(), kOldMenu);
    scene.Add(L"apWidget.dll", L"Widget", scene.Source(L"apWidget.dll"));
    scene.Add(L"apSmile.dll", L"Smile \U0001F600", scene.Source(L"apSmile.dll"));
    scene.Add(L"apThai.dll", L"\u0E01\u0E02", scene.Source(L"apThai.dll"));
    scene.Add(L"apKorean.dll", L"한글 메뉴", scene.Source(L"apKorean.dll"));

    const ApplyOutcome outcome = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);

    EXPECT_EQ(outcome.result, ApplyResult::UnencodableText);
    EXPECT_FALSE(outcome.MenuRewritten()) << "the pending marks stay";
    EXPECT_EQ(scene.Menu(), kOldMenu);
    EXPECT_EQ(FilesIn(scene.addIn), std::vector<std::wstring>{L"zulmenu.txt"}) << "nothing is copied";
    EXPECT_EQ(scene.PresentCount(), 0) << "no catalogue name is handed out";
    const std::vector<std::wstring> messages = ApplyMessages(outcome);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"아래 모듈의 메뉴 항목에 zulMenu.txt에 쓸수 없는 문자가 있어 적용하지 않았습니다.\n"
                           L"[1]. apSmile.dll: '\U0001F600' (U+1F600)\n"
                           L"[2]. apThai.dll: '\u0E01' (U+0E01)\n");

    HANDLE reopened = CreateFileW(scene.MenuPath().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reopened, INVALID_HANDLE_VALUE) << "the menu file is not left held";
    CloseHandle(reopened);
}

TEST(ApplyRefusal, AMenuFileHeldByAnotherProgramStopsTheRunBeforeTheFirstCopy)
{
    ApplyScene scene;
    WriteFileBytes(scene.MenuPath(), kOldMenu);
    scene.Add(L"apWidget.dll", L"Widget", scene.Source(L"apWidget.dll"));
    HANDLE held = CreateFileW(scene.MenuPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    const ApplyOutcome outcome = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);
    CloseHandle(held);

    EXPECT_EQ(outcome.result, ApplyResult::MenuFileNotWritable);
    EXPECT_EQ(ApplyMessages(outcome), std::vector<std::wstring>{L"zulMenu.txt 파일을 수정할수 없습니다."});
    EXPECT_EQ(FilesIn(scene.addIn), std::vector<std::wstring>{L"zulmenu.txt"});
    EXPECT_EQ(scene.Menu(), kOldMenu);
    EXPECT_EQ(scene.PresentCount(), 0);

    const ApplyOutcome retry = ApplyPendingModules(scene.table, scene.catalogue, scene.addIn);
    EXPECT_EQ(retry.result, ApplyResult::Applied);
    EXPECT_TRUE(FileExists(scene.InAddIn(L"apDraftAssist.dll"))) << "the retry hands out the same first name";
}

TEST(ApplyRefusal, AMissingAddInFolderIsCreatedUnlessALevelHoldsADot)
{
    ApplyScene scene;
    scene.Add(L"apWidget.dll", L"Widget", scene.Source(L"apWidget.dll"));

    const std::wstring dotted = scene.dir / L"Host 2.0\\zul_ap";
    const ApplyOutcome refused = ApplyPendingModules(scene.table, scene.catalogue, dotted);
    EXPECT_EQ(refused.result, ApplyResult::MenuFileNotWritable);
    EXPECT_FALSE(FileExists(scene.dir / L"Host 2.0"));
    EXPECT_EQ(scene.PresentCount(), 0);

    // A name edited in the list reaches the file for an added row (한글 in code page 949).
    EXPECT_EQ(StoreEditedMenuName(scene.table, IDC_MODULE_LIST, 0, kColumnMenuName, L"한글"), CellEditDecision::Stored);
    const std::wstring fresh = scene.dir / L"new\\host\\zul_ap";
    const ApplyOutcome created = ApplyPendingModules(scene.table, scene.catalogue, fresh);
    ASSERT_EQ(created.result, ApplyResult::Applied);
    EXPECT_TRUE(FileExists(fresh + L"\\apDraftAssist.dll"));
    EXPECT_EQ(ReadFileBytes(fresh + L"\\zulmenu.txt"), "\"DraftAssist\" \"\xC7\xD1\xB1\xDB\" \"CAD\" \"REGULAR\"\r\n");
}
