#include <gtest/gtest.h>

#include "texts/Messages.h"
#include "texts/Texts.h"

TEST(Messages, OutcomesBecomeTheTextsTheUserReads)
{
    EXPECT_EQ(Refused32BitMessage({}), L"");
    EXPECT_EQ(Refused32BitMessage({L"apOld.dll", L"apAlso.dll"}),
              L"아래 모듈은 32Bit이므로 Load할수 없습니다.\n[1]. apOld.dll\n[2]. apAlso.dll\n");
    EXPECT_EQ(StatusLabel(RowStatus::Loaded) + StatusLabel(RowStatus::Added) + StatusLabel(RowStatus::Replaced), L"추가교체");

    ApplyOutcome outcome;
    EXPECT_TRUE(ApplyMessages(outcome).empty()) << "a clean run says nothing";
    const std::wstring first = L"zulMenu.txt 파일을 수정할수 없습니다.";
    const std::tuple<ApplyResult, MenuFailure, std::wstring> refusals[] = {
        {ApplyResult::NoHost, MenuFailure::None, first + L"\nTOLVAN-QUORAL2 설치 위치를 레지스트리에서 찾지 못했습니다."},
        {ApplyResult::MenuFileNotWritable, MenuFailure::Held, first + L"\n다른 프로그램이 파일을 사용 중입니다. TOLVAN-QUORAL2 를 종료한 뒤 다시 적용하세요."},
        {ApplyResult::MenuFileNotWritable, MenuFailure::NoPermission, first + L"\n파일을 쓸 권한이 없습니다. 관리자 권한으로 실행하세요."},
        {ApplyResult::MenuFileNotWritable, MenuFailure::Other, first},
    };
    for (const auto& [result, failure, text] : refusals) {
        outcome.result = result;
        outcome.menuFailure = failure;
        EXPECT_EQ(ApplyMessages(outcome), std::vector<std::wstring>{text});
    }
    outcome.result = ApplyResult::UnencodableText;
    outcome.unencodable = {{L"apSmile.dll", U'\U0001F600'}, {L"apThai.dll", U'\u0E01'}, {L"apTab.dll", U'\t'}};
    EXPECT_EQ(ApplyMessages(outcome), std::vector<std::wstring>{
                                          L"아래 모듈의 메뉴 항목에 zulMenu.txt에 쓸수 없는 문자가 있어 적용하지 않았습니다.\n"
                                          L"[1]. apSmile.dll: '\U0001F600' (U+1F600)\n[2]. apThai.dll: '\u0E01' (U+0E01)\n"
                                          L"[3]. apTab.dll: U+0009\n"});

    outcome = {};
    outcome.problems = {
        {L"apFull.dll", true, {}},
        {L"apWidget.dll", false,
         {{L"apA.dll", CopyFailure::InUse, 32}, {L"apA_16.png", CopyFailure::ReadOnly, 6009},
          {L"x", CopyFailure::SourceMissing, 2}, {L"y", CopyFailure::AccessDenied, 5}, {L"z", CopyFailure::DiskFull, 112},
          {L"..", CopyFailure::NameNotAllowed, 0}, {L"w", CopyFailure::Other, 1234}}},
    };
    outcome.skipped = {{L"apFoo.dll", {L"C:\\m\\apFoo_old.dll", L"apBar.dll", SkipReason::SameTarget}},
                       {L"apFoo.dll", {L"C:\\m\\apFooBar.dll", L"apFooBar.dll", SkipReason::OtherModulesFile}}};
    EXPECT_EQ(ApplyMessages(outcome),
              (std::vector<std::wstring>{L"아래 파일은 다른 파일을 덮어쓰게 되어 복사하지 않았습니다.\n"
                                         L"[1]. apFoo.dll: apFoo_old.dll -> apBar.dll(모듈 파일이 같은 이름으로 복사됨)\n"
                                         L"[2]. apFoo.dll: apFooBar.dll -> apFooBar.dll(다른 모듈의 파일)\n",
                                         L"아래 모듈은 제대로 설치되지 않았습니다.\n"
                                         L"[1]. apFull.dll: 남은 모듈 이름이 없어 설치하지 않았습니다\n"
                                         L"[2]. apWidget.dll: 복사하지 못한 파일 "
                                         L"apA.dll(다른 프로그램이 사용 중), apA_16.png(읽기 전용), x(원본 파일 없음), "
                                         L"y(사용 중이거나 권한 없음), z(디스크 공간 부족), ..(허용되지 않는 파일 이름), w(오류 1234)\n"}));
}
