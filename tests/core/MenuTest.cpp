#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

#include "core/menu/CiStTextFile.h"
#include "core/menu/CodePage949.h"
#include "core/menu/MenuFormat.h"
#include "core/menu/MenuLoader.h"
#include "support/MenuRules.h"
#include "Scene.h"

namespace {

const std::wstring kEntry = L"\"Foo\" \"한글\" \"CAD\" \"REGULAR\"";
const std::string kEntryBytes = "\"Foo\" \"\xC7\xD1\xB1\xDB\" \"CAD\" \"REGULAR\"\r\n";

std::vector<std::wstring> Lines(const CiStTextFile& file)
{
    return {file.GetLines().begin(), file.GetLines().end()};
}

}  // namespace

TEST(CodePage949, EncodesStrictlyAndDecodesStrayBytesAlone)
{
    std::string bytes;
    EXPECT_EQ(EncodeCp949(L"한글", bytes), std::nullopt);
    EXPECT_EQ(bytes, "\xC7\xD1\xB1\xDB");
    EXPECT_EQ(EncodeCp949(L"A 1\u20AC", bytes), std::nullopt);
    EXPECT_EQ(bytes, "A 1\xA2\xE6");
    EXPECT_EQ(EncodeCp949(L"ab\u0E01c", bytes), std::optional<size_t>(2)) << "Thai is not in the code page";
    EXPECT_EQ(EncodeCp949(L"가\U0001F600", bytes), std::optional<size_t>(1));
    EXPECT_EQ(EncodeCp949(L"e\u00E9", bytes), std::optional<size_t>(1)) << "no best-fit 'e' for e-acute";
    EXPECT_EQ(DecodeCp949(std::string("\xC7\xD1\xB1\xDB ok")), L"한글 ok");
    EXPECT_EQ(DecodeCp949(std::string("\xC7\" \xFE\" \xC7")), L"\xFFFD\" \xFFFD\" \xFFFD")
        << "a lead byte without its trail never swallows a quote or a space";
}

// Splitting is held against the rules by the property tests; what they do not reach:
TEST(MenuFormat, EdgesOfSplittingAndTheLinesComposedForModules)
{
    CStringArray pieces, fields;
    EXPECT_EQ(SplitString(L"", L"abc", pieces) + SplitString(L"ab", L"abxab", pieces), 1) << "an empty delimiter splits nothing";
    fields.Add(L"kept");
    EXPECT_TRUE(SplitFields(L"\"", L" ", L" \" x \"   \"y\"", fields) && !SplitFields(L"\"", L" ", L"\"\"", fields));
    EXPECT_EQ(std::vector<std::wstring>(fields.begin(), fields.end()), (std::vector<std::wstring>{L"kept", L"x", L"y"}));
    std::wstring composed;
    for (const wchar_t* module : {L"apInterSnap.dll", L"apINTERx.dll", L"apcamDrill.dll", L"apInte.dll", L"apCa.dll"})
        composed += ComposeMenuEntry(module, L"M") + L"|";
    EXPECT_EQ(composed, L"\"InterSnap\" \"M\" \"CAD\" \"INTERRUPT\"|\"INTERx\" \"M\" \"CAD\" \"INTERRUPT\"|"
                        L"\"camDrill\" \"M\" \"CAM\" \"REGULAR\"|\"Inte\" \"M\" \"CAD\" \"REGULAR\"|\"Ca\" \"M\" \"CAD\" \"REGULAR\"|")
        << "the kind and mode follow the stem's start, ignoring case; short stems are plain";
    EXPECT_EQ(MenuFilePath(L"") + MenuFilePath(L"C:\\h"), L"C:\\h\\zulmenu.txt") << "no host: no menu file at a drive's root";
}

TEST(TextFile, ReadsLinesAndRewritesKeepingEveryOldByte)
{
    TempDir dir;
    const std::wstring path = dir / L"zulmenu.txt";
    // LF-only ends, a lone CR, bytes that are not code page 949, no final line break.
    const std::string old = "\"a\" \"b\" \"CAD\" \"REGULAR\"\nfree\rtext\n\n\x80\xFF\xC7 bad\r\n\xC7\xD1\xB1\xDB\r\r\nlast";
    WriteFileBytes(path, old);
    WriteFileBytes(dir / L"~tq2zul-1-2-3.tmp", "left over by a crash");
    {
        CiStTextFile file;
        ASSERT_TRUE(file.ReadLinesForRewrite(path));
        EXPECT_EQ(Lines(file)[1] + L"|" + Lines(file)[4], L"free\rtext|한글\r") << "a lone CR is text";
        EXPECT_EQ(file.GetRawLine(3), "\x80\xFF\xC7 bad");
        EXPECT_NE(std::string(setlocale(LC_ALL, nullptr)).find("949"), std::string::npos) << "korean locale in force";
        HANDLE other = CreateFileW(path.c_str(), GENERIC_READ, 7, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(other, INVALID_HANDLE_VALUE) << "held while the rewrite is composed";
        CloseHandle(other);
        EXPECT_TRUE(file.WriteRewrite({kEntry}).ok);
        EXPECT_FALSE(file.WriteRewrite({kEntry}).ok) << "one rewrite per read";
    }
    EXPECT_EQ(ReadFileBytes(path), RuleRewrite(old, {kEntryBytes.substr(0, kEntryBytes.size() - 2)}));
    EXPECT_EQ(ListFolderFiles(dir.Path()), std::vector<std::wstring>{L"zulmenu.txt"}) << "temporary files gone";

    CiStTextFile missing, empty;
    EXPECT_FALSE(missing.ReadLines(dir / L"absent.txt") || missing.ReadLines(L"") || missing.ReadLinesForRewrite(L""));
    ASSERT_TRUE(missing.ReadLinesForRewrite(dir / L"new.txt"));
    EXPECT_FALSE(PathExists(dir / L"new.txt")) << "nothing is created before the write";
    EXPECT_TRUE(missing.WriteRewrite({kEntry}).ok);
    EXPECT_EQ(ReadFileBytes(dir / L"new.txt"), kEntryBytes);
    WriteFileBytes(path, "");
    EXPECT_TRUE(empty.ReadLines(path) && empty.GetLines().IsEmpty());
}

TEST(TextFile, FailedRewritesLeaveTheFileAsItWas)
{
    TempDir dir;
    const std::wstring path = dir / L"zulmenu.txt";
    const std::string old = "\"a\" \"b\" \"CAD\" \"REGULAR\"\n";
    WriteFileBytes(path, old);
    {
        CiStTextFile file;
        ASSERT_TRUE(file.ReadLinesForRewrite(path));
        const RewriteResult r = file.WriteRewrite({kEntry, L"\"X\" \"메뉴\u0E01\" \"CAD\" \"REGULAR\""});
        EXPECT_TRUE(!r.ok && r.badEntry == 1 && r.badIndex == 7u) << "the second entry, at its Thai letter";
    }
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    CiStTextFile locked;
    EXPECT_FALSE(locked.ReadLines(path) || locked.ReadLinesForRewrite(path) || locked.WriteRewrite({kEntry}).ok);
    CloseHandle(holder);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    CiStTextFile readOnly;
    EXPECT_TRUE(!readOnly.ReadLinesForRewrite(path) && readOnly.ReadLines(path)) << "read-only: readable, not rewritable";
    readOnly.Close();
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(path), old);

    // A menu file that appears between the read and the write is someone else's.
    CiStTextFile late;
    ASSERT_TRUE(late.ReadLinesForRewrite(dir / L"other.txt"));
    WriteFileBytes(dir / L"other.txt", "theirs\r\n");
    EXPECT_TRUE(!late.WriteRewrite({kEntry}).ok && ReadFileBytes(dir / L"other.txt") == "theirs\r\n");
    EXPECT_EQ(ListFolderFiles(dir.Path()).size(), 2u) << "no temporary file stays";
}

// Random files, read and rewritten, against the rules. TQ2ZUL_STRESS=1 runs many more.
TEST(TextFile, AnyBytesReadSplitAndRewriteAsTheRulesSay)
{
    TempDir dir;
    const std::wstring path = dir / L"zulmenu.txt";
    std::mt19937 rng(949);
    const int cases = std::getenv("TQ2ZUL_STRESS") ? 20000 : 400;
    for (int i = 0; i < cases; ++i) {
        const std::string bytes = RandomMenuBytes(rng, 40);
        WriteFileBytes(path, bytes);
        const std::vector<std::string> lines = RuleLines(bytes);
        CiStTextFile file;
        ASSERT_TRUE(file.ReadLinesForRewrite(path)) << i;
        ASSERT_EQ(file.GetLines().GetSize(), static_cast<int>(lines.size())) << "case " << i;
        CStringArray fields;
        for (size_t n = 0; n < lines.size(); ++n) {
            ASSERT_EQ(file.GetRawLine(static_cast<int>(n)), lines[n]) << "case " << i << " line " << n;
            const std::wstring decoded = file.GetLines()[static_cast<int>(n)];
            EXPECT_EQ(RuleFields(decoded).size(), RuleFields(lines[n]).size()) << "case " << i << ": a field moved";
            EXPECT_EQ(SplitMenuEntry(decoded, fields), RuleFields(decoded).size() == 4) << "case " << i;
        }
        if (i % 8 == 0) {
            ASSERT_TRUE(file.WriteRewrite({kEntry}).ok) << i;
            ASSERT_EQ(ReadFileBytes(path), RuleRewrite(bytes, {kEntryBytes.substr(0, kEntryBytes.size() - 2)})) << i;
        }
    }
}

TEST(MenuLoader, OneRowPerEntryNamedAndVersionedFromTheInstalledDll)
{
    Scene scene;
    scene.table.AppendRow({RowStatus::Added, L"apOld.dll", L"apOld", L"old", L"x"}, L"1");
    ASSERT_TRUE(CopyFileW(FixturePath(L"apSampleFull.dll").c_str(), scene.InAddIn(L"apInterSnap.dll").c_str(), FALSE));
    WriteFileBytes(scene.MenuPath(), "\nfree text\n"
                                     "\"DraftAssist\" \" \xB5\xB5\xB8\xE9  A \" \"ANY\" \"THING\"\r\n"
                                     "\"Nope\" \"\" \"CAD\" \"REGULAR\"\n"
                                     "\"InterSnap\" \"snap\" \"CAD\" \"INTERRUPT\"");
    LoadMenuFile(scene.addIn, scene.table, scene.catalogue);
    ASSERT_EQ(scene.table.GetCount(), 2);
    const ModuleRow& missing = scene.table.GetRow(0);
    EXPECT_EQ(missing.status, RowStatus::Loaded);
    EXPECT_EQ(missing.dllFileName + L"|" + missing.moduleName + L"|" + missing.menuName + L"|" + missing.sourcePath,
              L"apDraftAssist.dll|ap|도면  A|" + scene.InAddIn(L"apDraftAssist.dll")) << "no DLL, no internal name";
    EXPECT_EQ(scene.table.GetRow(1).moduleName + scene.table.GetShown(1).version, L"apSampleFull.dll2.3.0.8");
    EXPECT_EQ(scene.table.GetRow(1).menuLine, 4) << "where an edited name goes";
    EXPECT_TRUE(scene.PresentCount() == 2 && scene.catalogue.IsPresent(0) && scene.catalogue.IsPresent(1))
        << "marked through the DLL file names";

    LoadMenuFile(L"", scene.table, scene.catalogue);
    EXPECT_EQ(scene.table.GetCount(), 0) << "no host: an empty list";
}
