#include <gtest/gtest.h>

#include <thread>

#include "platform/FileCopy.h"
#include "platform/FileReplace.h"
#include "platform/LongPath.h"
#include "platform/Paths.h"
#include "platform/TempFile.h"
#include "support/TestSupport.h"

TEST(Paths, FolderAndFileNameOfEveryKindOfPath)
{
    const struct {
        const wchar_t *path, *folder, *name;
    } cases[] = {
        {L"C:\\Modules\\apFoo.dll", L"C:\\Modules", L"apFoo.dll"},
        {L"C:\\apFoo.dll", L"C:\\", L"apFoo.dll"},
        {L"\\apFoo.dll", L"\\", L"apFoo.dll"},
        {L"\\\\?\\C:\\apFoo.dll", L"\\\\?\\C:\\", L"apFoo.dll"},
        {L"\\\\server\\share\\apFoo.dll", L"\\\\server\\share", L"apFoo.dll"},
        {L"C:apFoo.dll", L"C:", L"C:apFoo.dll"},
        {L"apFoo.dll", L"", L"apFoo.dll"},
        {L"C:/Modules/apFoo.dll", L"C:", L"apFoo.dll"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderOf(c.path), c.folder) << Utf8(c.path);
        EXPECT_EQ(FileNameOf(c.path), c.name) << Utf8(c.path);
    }
    EXPECT_EQ(WithoutTrailingBackslashes(L"C:\\Host\\\\"), L"C:\\Host");
    EXPECT_EQ(WithoutTrailingBackslashes(L"\\\\\\"), L"");
    const std::wstring deep = L"C:\\" + std::wstring(300, L'x') + L"\\apFoo.dll";
    EXPECT_EQ(FolderOf(deep), deep.substr(0, deep.size() - 10)) << "any length";
}

TEST(Paths, ExistsCreatesAndListsFoldersAtAnyLength)
{
    TempDir dir;
    WriteFileBytes(dir / L"a.dll", "a");
    CreateDirectoryW((dir / L"sub.dll").c_str(), nullptr);
    EXPECT_EQ(ListFolderFiles(dir.Path()), std::vector<std::wstring>{L"a.dll"}) << "folders are no files";
    EXPECT_TRUE(ListFolderFiles(dir / L"missing").empty());
    EXPECT_TRUE(PathExists(dir / L"a.dll") && PathExists(dir.Path() + L"\\\\") && IsFolder(dir / L"sub.dll"));
    EXPECT_FALSE(PathExists(L"") || PathExists(dir / L"none") || IsFolder(dir / L"a.dll"));

    // Levels with a dot are taken for file names and stop nothing but themselves.
    CreateFolderChain(dir / L"Host 2.0\\zul_ap");
    EXPECT_FALSE(PathExists(dir / L"Host 2.0"));

    // Past MAX_PATH (and the 248 of CreateDirectoryW), through "/" separators.
    std::wstring deep = dir.Path();
    while (deep.size() < MAX_PATH + 40)
        deep += L"/한글 폴더";
    CreateFolderChain(deep);
    ASSERT_TRUE(PathExists(deep + L"/")) << "every level created";
    std::replace(deep.begin(), deep.end(), L'/', L'\\');
    const std::wstring source = dir / L"a.dll", target = deep + L"\\apTarget.dll";
    EXPECT_EQ(CopyFileWhole(source, target), 0u);
    EXPECT_EQ(CopyFileWhole(source, target), 0u) << "over an existing target";
    EXPECT_EQ(ListFolderFiles(deep), std::vector<std::wstring>{L"apTarget.dll"}) << "no temporary file stays";
    EXPECT_EQ(ReadFileBytes(target), "a");
}

TEST(LongPathForm, LeavesShortPathsAndMakesLongOnesFullAndVerbatim)
{
    EXPECT_EQ(LongPathForm(L""), L"");
    EXPECT_EQ(LongPathForm(L"C:\\Tools/zul_ap\\..\\x.txt"), L"C:\\Tools/zul_ap\\..\\x.txt");
    const std::wstring n(120, L'n');
    EXPECT_EQ(LongPathForm(L"C:\\" + n + L"/" + n + L"\\.\\skip\\..\\" + n), L"\\\\?\\C:\\" + n + L"\\" + n + L"\\" + n);
    EXPECT_EQ(LongPathForm(L"\\\\srv\\share\\" + n + L"\\" + n + L"\\" + n),
              L"\\\\?\\UNC\\srv\\share\\" + n + L"\\" + n + L"\\" + n);
    const std::wstring verbatim = L"\\\\?\\C:\\" + n + L"/" + n + L"/" + n;
    EXPECT_EQ(LongPathForm(verbatim), verbatim);
    EXPECT_EQ(LongPathForm(n + L"\\" + n + L"\\" + n), L"\\\\?\\" + FullPathOf(n + L"\\" + n + L"\\" + n))
        << "a long relative path is made full";
}

TEST(TempFile, OnlyNamesTheToolMakesAreLeftoversToRemove)
{
    TempDir dir;
    const std::wstring temp = TempPathBeside(dir / L"zulmenu.txt");
    EXPECT_EQ(FolderOf(temp), dir.Path());
    EXPECT_TRUE(IsToolTempName(FileNameOf(temp))) << Utf8(temp);
    EXPECT_NE(TempPathBeside(dir / L"x"), temp);
    for (const wchar_t* name : {L"~tq2zul-.tmp", L"~tq2zul-notes.tmp", L"~tq2zul-1a.tmp.bak", L"tq2zul-1a.tmp"})
        EXPECT_FALSE(IsToolTempName(name)) << Utf8(name);
    WriteFileBytes(temp, "left over");
    SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_READONLY);
    WriteFileBytes(dir / L"~tq2zul-notes.tmp", "a user's file");
    EXPECT_EQ(RemoveToolTempFiles(dir.Path() + L"\\"), 1);
    EXPECT_EQ(ListFolderFiles(dir.Path()), std::vector<std::wstring>{L"~tq2zul-notes.tmp"});
}

TEST(CopyFileWhole, FailsCleanlyOnReadOnlyTargetsAndMissingSources)
{
    TempDir dir;
    WriteFileBytes(dir / L"source.dll", "new");
    WriteFileBytes(dir / L"target.dll", "old");
    SetFileAttributesW((dir / L"target.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(CopyFileWhole(dir / L"source.dll", dir / L"target.dll"), static_cast<unsigned long>(ERROR_FILE_READ_ONLY));
    EXPECT_EQ(CopyFileWhole(dir / L"gone.dll", dir / L"other.dll"), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    SetFileAttributesW((dir / L"target.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(dir / L"target.dll"), "old");
    EXPECT_EQ(ListFolderFiles(dir.Path()).size(), 2u) << "no temporary file, no partial target";
}

TEST(CopyFileWhole, AReaderSeesTheOldFileOrTheWholeNewOneNeverPart)
{
    TempDir dir;
    const size_t size = 4u << 20;
    const std::string oldBytes(size, 'o'), newBytes(size, 'n');
    const std::wstring sources[] = {dir / L"new.bin", dir / L"old.bin"}, target = dir / L"apTarget.dll";
    WriteFileBytes(sources[0], newBytes);
    WriteFileBytes(sources[1], oldBytes);
    WriteFileBytes(target, oldBytes);
    std::atomic<bool> done{false};
    std::atomic<int> reads{0}, torn{0};
    std::thread reader([&] {
        while (!done) {
            const std::string seen = ReadFileBytes(target);
            torn += seen.empty() || seen == oldBytes || seen == newBytes ? 0 : 1;
            ++reads;
        }
    });
    int replaced = 0;
    for (int attempt = 0; attempt < 500 && replaced < 6; ++attempt)
        replaced += CopyFileWhole(sources[replaced % 2], target) == 0 ? 1 : 0;
    WaitFor([&] { return reads > 0; });
    done = true;
    reader.join();
    EXPECT_EQ(replaced, 6);
    EXPECT_EQ(torn.load(), 0) << "of " << reads.load() << " reads";
}

TEST(SwapInTemp, RetriesWhileHeldKeepsAttributesAndNeverOverwritesAStranger)
{
    TempDir dir;
    const std::wstring target = dir / L"zulmenu.txt";
    WriteFileBytes(target, "old");
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN);

    // Held for a moment by another program: the swap waits it out.
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        Sleep(40);
        CloseHandle(held);
    });
    std::wstring temp = WriteTempBeside(target, {"ne", "w"});
    ASSERT_FALSE(temp.empty());
    EXPECT_TRUE(SwapInTemp(temp, target, true));
    release.join();
    EXPECT_EQ(ReadFileBytes(target), "new");
    EXPECT_EQ(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, DWORD{FILE_ATTRIBUTE_HIDDEN});

    // Held for good: it gives up, the file as it was, the temporary file gone.
    held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(SwapInTemp(WriteTempBeside(target, {"lost"}), target, true));
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(target), "new");

    // Removed since it was read: the new content still takes its place.
    DeleteFileW(target.c_str());
    EXPECT_TRUE(SwapInTemp(WriteTempBeside(target, {"after removal"}), target, true));
    EXPECT_EQ(ReadFileBytes(target), "after removal");

    // Appeared since we looked: someone else's file is not overwritten.
    EXPECT_FALSE(SwapInTemp(WriteTempBeside(target, {"mine"}), target, false));
    EXPECT_EQ(ReadFileBytes(target), "after removal");
    EXPECT_EQ(ListFolderFiles(dir.Path()), std::vector<std::wstring>{L"zulmenu.txt"});
}

// Run on purpose by the ctest entry watchdog_ends_a_hang, which expects it to fail soon.
TEST(Watchdog, DISABLED_AHangingTestIsStopped)
{
    Sleep(INFINITE);
}
