#include <gtest/gtest.h>

#include <vector>

#include "menu/MenuFormat.h"
#include "support/TestSupport.h"

namespace {

std::vector<std::wstring> ToVector(const CStringArray& array)
{
    return {array.begin(), array.end()};
}

}  // namespace

TEST(MenuFormat, SplitsLinesIntoTrimmedQuotedFields)
{
    struct Case {
        std::wstring line;
        std::vector<std::wstring> fields;
        bool entry;
    };
    const std::vector<std::wstring> four = {L"Stem", L"Menu", L"CAD", L"REGULAR"};
    const Case cases[] = {
        {L"\"Stem\" \"Menu\" \"CAD\" \"REGULAR\"", four, true},
        {L"\"Stem\"\"Menu\"\"CAD\"\"REGULAR\"", four, true},
        {L"\"Stem\" \"Menu\" \"CAD\" \"REGULAR", four, true},
        {L"Stem Menu CAD REGULAR", {L"Stem Menu CAD REGULAR"}, false},
        {L"\"Stem\" \"\" \"CAD\" \"REGULAR\"", {L"Stem", L"CAD", L"REGULAR"}, false},
        {L"\" My Stem \" \" Menu A \" \"CAD\" \"REGULAR\"", {L"My Stem", L"Menu A", L"CAD", L"REGULAR"}, true},
        {L"\"Stem\"\t\"Menu\" \"CAD\" \"REGULAR\"", {L"Stem", L"\t", L"Menu", L"CAD", L"REGULAR"}, false},
        {L"\"Stem\" x \"Menu\" \"CAD\"", {L"Stem", L"x", L"Menu", L"CAD"}, true},
        {L"\"Stem\" \"Menu\" \"CAD\" \"REGULAR\" \"Extra\"", {L"Stem", L"Menu", L"CAD", L"REGULAR", L"Extra"}, false},
        {L"\"한글\" \"메뉴 이름\" \"CAM\" \"REGULAR\"", {L"한글", L"메뉴 이름", L"CAM", L"REGULAR"}, true},
        {L"", {}, false},
    };
    for (const Case& c : cases) {
        CStringArray fields;
        fields.Add(L"stale");
        EXPECT_EQ(SplitMenuEntry(c.line, fields), c.entry) << Utf8(c.line);
        EXPECT_EQ(ToVector(fields), c.fields) << Utf8(c.line);
    }
}

TEST(MenuFormat, SplitStringAndSplitFieldsEdgeCases)
{
    CStringArray pieces;
    pieces.Add(L"stale");
    EXPECT_EQ(SplitString(L"::", L"::a::b::::c", pieces), 3);
    EXPECT_EQ(ToVector(pieces), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(SplitString(L"", L"abc", pieces), 0) << "an empty delimiter must not loop";
    EXPECT_TRUE(pieces.IsEmpty());

    CStringArray fields;
    EXPECT_FALSE(SplitFields(L"\"", L" ", L"\"\"\"", fields)) << "no piece at all";
    EXPECT_TRUE(SplitFields(L"\"", L" ", L"\"   \" \"", fields)) << "pieces that trim away still count";
    EXPECT_TRUE(fields.IsEmpty());
    fields.Add(L"kept");
    EXPECT_TRUE(SplitFields(L",", L" -", L"- a-b -,,x", fields));
    EXPECT_EQ(ToVector(fields), (std::vector<std::wstring>{L"kept", L"a-b", L"x"})) << "appends, trims the set";
}

TEST(MenuFormat, ComposesEntryWithKindAndModeFromStem)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"apInterSnap.dll", L"\"InterSnap\" \"이름\" \"CAD\" \"INTERRUPT\""},
        {L"apINTER.DLL", L"\"INTER\" \"이름\" \"CAD\" \"INTERRUPT\""},
        {L"apCamDrill.dll", L"\"CamDrill\" \"이름\" \"CAM\" \"REGULAR\""},
        {L"apcam.dll", L"\"cam\" \"이름\" \"CAM\" \"REGULAR\""},
        {L"apCAMInter.dll", L"\"CAMInter\" \"이름\" \"CAM\" \"REGULAR\""},
        {L"apInt.dll", L"\"Int\" \"이름\" \"CAD\" \"REGULAR\""},
        {L"apCa.dll", L"\"Ca\" \"이름\" \"CAD\" \"REGULAR\""},
        {L"apInteRnal.dll", L"\"InteRnal\" \"이름\" \"CAD\" \"INTERRUPT\""},
        {L"ap.dll", L"\"\" \"이름\" \"CAD\" \"REGULAR\""},
    };
    for (const auto& [module, line] : cases)
        EXPECT_EQ(ComposeMenuEntry(module, L"이름"), line) << Utf8(module);
}

TEST(MenuFormat, ComposedEntriesReadBack)
{
    CStringArray fields;
    ASSERT_TRUE(SplitMenuEntry(ComposeMenuEntry(L"apDraftAssist.dll", L"도면 보조"), fields));
    EXPECT_EQ(fields[0], L"DraftAssist");
    EXPECT_EQ(fields[1], L"도면 보조");

    EXPECT_EQ(ComposeMenuEntry(L"apX1.dll", L" padded "), L"\"X1\" \" padded \" \"CAD\" \"REGULAR\"")
        << "the menu name is written unchanged";
    ASSERT_TRUE(SplitMenuEntry(ComposeMenuEntry(L"apX1.dll", L" padded "), fields));
    EXPECT_EQ(fields[1], L"padded") << "and read back trimmed";
    ASSERT_TRUE(SplitMenuEntry(ComposeMenuEntry(L"apX1.dll", L"\"quoted\""), fields));
    EXPECT_EQ(fields[1], L"quoted");
    EXPECT_FALSE(SplitMenuEntry(ComposeMenuEntry(L"apX1.dll", L"in\"side"), fields));
    EXPECT_FALSE(SplitMenuEntry(ComposeMenuEntry(L"apX.dl", L"short"), fields)) << "empty stem";
}

TEST(MenuFormat, MenuFilePathNeedsAFolder)
{
    EXPECT_EQ(MenuFilePath(L"C:\\Host\\zul_ap"), L"C:\\Host\\zul_ap\\zulmenu.txt");
    EXPECT_EQ(MenuFilePath(L""), L"") << "no host must not mean the drive root";
}
