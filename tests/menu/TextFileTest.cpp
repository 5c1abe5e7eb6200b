#include <gtest/gtest.h>

#include <clocale>
#include <vector>

#include "menu/CiStTextFile.h"
#include "support/TestSupport.h"

namespace {

const std::wstring kEntry = L"\"Foo\" \"한글\" \"CAD\" \"REGULAR\"";
const std::string kEntryBytes = "\"Foo\" \"\xC7\xD1\xB1\xDB\" \"CAD\" \"REGULAR\"\r\n";

HANDLE OpenShared(const std::wstring& path, DWORD share)
{
    return CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace

TEST(TextFile, ReadsLinesAtCrLfAndLfOnly)
{
    TempDir dir;
    const std::wstring path = dir / L"zulmenu.txt";
    WriteFileBytes(path, "one\r\ntwo\nthree\rstill\n\n\xC7\xD1\xB1\xDB\r\r\nlast");
    CiStTextFile file;
    ASSERT_TRUE(file.ReadLines(path));
    const std::vector<std::wstring> expected = {L"one", L"two", L"three\rstill", L"", L"한글\r", L"last"};
    EXPECT_EQ(std::vector<std::wstring>(file.GetLines().begin(), file.GetLines().end()), expected);
    EXPECT_EQ(file.GetRawLine(4), "\xC7\xD1\xB1\xDB\r");
    EXPECT_NE(std::string(setlocale(LC_ALL, nullptr)).find("949"), std::string::npos) << "korean locale in force";
    file.Close();

    WriteFileBytes(path, "a\r\n\r\n");
    CiStTextFile again;
    ASSERT_TRUE(again.ReadLines(path));
    EXPECT_EQ(again.GetLines().GetSize(), 2) << "no extra line after the final break";
    again.Close();

    WriteFileBytes(path, "");
    CiStTextFile empty;
    EXPECT_TRUE(empty.ReadLines(path));
    EXPECT_TRUE(empty.GetLines().IsEmpty());

    CiStTextFile missing;
    EXPECT_FALSE(missing.ReadLines(dir / L"absent.txt"));
    EXPECT_FALSE(missing.ReadLines(L""));
    EXPECT_FALSE(missing.ReadLinesForRewrite(L""));
}

TEST(TextFile, RewriteKeepsEveryOldByteAndAppendsEntries)
{
    TempDir dir;
    const std::wstring path = dir / L"zulmenu.txt";
    // LF-only ends, a lone CR, bytes that are not code page 949, no final line break.
    const std::string old = "\"a\" \"b\" \"CAD\" \"REGULAR\"\nfree\rtext\n\n\x80\xFF\xC7 bad\r\nlast";
    WriteFileBytes(path, old);
    WriteFileBytes(dir / L"~tq2zul-1-2-3.tmp", "left over by a crash");
    {
        CiStTextFile file;
        ASSERT_TRUE(file.ReadLinesForRewrite(path));
        EXPECT_EQ(file.GetLines().GetSize(), 5);
        HANDLE other = OpenShared(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        EXPECT_EQ(other, INVALID_HANDLE_VALUE) << "the file is held while the rewrite is composed";
        CloseHandle(other);
        EXPECT_TRUE(file.WriteRewrite({kEntry, L"\"Bar\" \"x\" \"CAM\" \"REGULAR\""}).ok);
    }
    EXPECT_EQ(ReadFileBytes(path), "\"a\" \"b\" \"CAD\" \"REGULAR\"\r\nfree\rtext\r\n\r\n\x80\xFF\xC7 bad\r\nlast\r\n" +
                                       kEntryBytes + "\"Bar\" \"x\" \"CAM\" \"REGULAR\"\r\n");
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::wstring>{L"zulmenu.txt"}) << "no temporary file stays";

    CiStTextFile reread;
    ASSERT_TRUE(reread.ReadLines(path));
    ASSERT_EQ(reread.GetLines().GetSize(), 7);
    EXPECT_EQ(reread.GetLines()[5], kEntry);
}

TEST(TextFile, RewriteCreatesAMissingFileAndEndsEveryLineWithCrLf)
{
    TempDir dir;
    const std::wstring path = dir / L"zulmenu.txt";
    CiStTextFile file;
    ASSERT_TRUE(file.ReadLinesForRewrite(path));
    EXPECT_FALSE(FileExists(path)) << "nothing is created before the write";
    EXPECT_TRUE(file.WriteRewrite({kEntry}).ok);
    EXPECT_EQ(ReadFileBytes(path), kEntryBytes);
    EXPECT_FALSE(file.WriteRewrite({kEntry}).ok) << "one rewrite per read";
    EXPECT_EQ(ReadFileBytes(path), kEntryBytes);

    WriteFileBytes(path, kEntryBytes + "cr\r\r\n");
    CiStTextFile second;
    ASSERT_TRUE(second.ReadLinesForRewrite(path));
    EXPECT_TRUE(second.WriteRewrite({kEntry}).ok);
    EXPECT_EQ(ReadFileBytes(path), kEntryBytes + "cr\r\r\n" + kEntryBytes) << "CR LF lines go out as they came";

    WriteFileBytes(path, "cr at the end\r");
    CiStTextFile third;
    ASSERT_TRUE(third.ReadLinesForRewrite(path));
    EXPECT_TRUE(third.WriteRewrite({}).ok);
    EXPECT_EQ(ReadFileBytes(path), "cr at the end\r\r\n");
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
        RewriteResult r = file.WriteRewrite({kEntry, L"\"X\" \"메뉴\u0E01\" \"CAD\" \"REGULAR\""});
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.badEntry, 1);
        EXPECT_EQ(r.badIndex, 7u);
    }
    EXPECT_EQ(ReadFileBytes(path), old) << "unencodable entry";

    HANDLE holder = OpenShared(path, 0);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    CiStTextFile locked;
    EXPECT_FALSE(locked.ReadLines(path)) << "held by another process";
    EXPECT_FALSE(locked.ReadLinesForRewrite(path));
    EXPECT_FALSE(locked.WriteRewrite({kEntry}).ok);
    CloseHandle(holder);
    EXPECT_EQ(ReadFileBytes(path), old) << "held by another process";

    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    CiStTextFile readOnly;
    EXPECT_FALSE(readOnly.ReadLinesForRewrite(path));
    EXPECT_TRUE(readOnly.ReadLines(path));
    readOnly.Close();
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(path), old) << "read-only";

    // A menu file that appears between the read and the write is someone else's.
    const std::wstring fresh = dir / L"other.txt";
    CiStTextFile late;
    ASSERT_TRUE(late.ReadLinesForRewrite(fresh));
    WriteFileBytes(fresh, "theirs\r\n");
    EXPECT_FALSE(late.WriteRewrite({kEntry}).ok);
    EXPECT_EQ(ReadFileBytes(fresh), "theirs\r\n");
    EXPECT_EQ(FilesIn(dir.Path()).size(), 2u) << "no temporary file stays";
}
