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
    std::wstring folders, names;
    for (const wchar_t* path : {L"C:\\Mods\\apFoo.dll", L"C:\\apFoo.dll", L"\\apFoo.dll", L"\\\\?\\C:\\apFoo.dll",
                                L"\\\\srv\\share\\apFoo.dll", L"C:apFoo.dll", L"apFoo.dll", L"C:/Mods/apFoo.dll"}) {
        folders += FolderOf(path) + L"|";
        names += FileNameOf(path) + L"|";
    }
    EXPECT_EQ(folders, L"C:\\Mods|C:\\|\\|\\\\?\\C:\\|\\\\srv\\share|C:||C:|") << "a root keeps its backslash";
    EXPECT_EQ(names, L"apFoo.dll|apFoo.dll|apFoo.dll|apFoo.dll|apFoo.dll|C:apFoo.dll|apFoo.dll|apFoo.dll|");
    EXPECT_EQ(WithoutTrailingBackslashes(L"C:\\Host\\\\") + WithoutTrailingBackslashes(L"\\\\\\"), L"C:\\Host");
    const std::wstring deep = L"C:\\" + std::wstring(300, L'x') + L"\\apFoo.dll";
    EXPECT_EQ(FolderOf(deep), deep.substr(0, deep.size() - 10)) << "any length";
}

TEST(Paths, ExistsCreatesAndListsFoldersAtAnyLength)
{
    TempDir dir;
    WriteFileBytes(dir / L"a.dll", "a");
    CreateDirectoryW((dir / L"sub.dll").c_str(), nullptr);
    EXPECT_EQ(ListFolderFiles(dir.Path()), std::vector<std::wstring>{L"a.dll"}) << "folders are no files";
    EXPECT_TRUE(ListFolderFiles(dir / L"missing").empty() && ListSubfolders(dir.Path()) == std::vector<std::wstring>{L"sub.dll"});
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
    const std::wstring target = deep + L"\\apTarget.dll";
    std::wstring temp;
    for (int twice = 0; twice < 2; ++twice)
        EXPECT_TRUE(CopyToTempBeside(dir / L"a.dll", target, temp) == 0 && MoveThrough(temp, target, true) == 0) << twice;
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
    EXPECT_TRUE(IsToolTempName(FileNameOf(temp)) && TempPathBeside(dir / L"x") != temp) << Utf8(temp);
    for (const wchar_t* name : {L"~tq2zul-.tmp", L"~tq2zul-notes.tmp", L"~tq2zul-1a.tmp.bak", L"tq2zul-1a.tmp"})
        EXPECT_FALSE(IsToolTempName(name)) << Utf8(name);
    WriteFileBytes(temp, "left over");
    SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_READONLY);
    WriteFileBytes(dir / L"~tq2zul-notes.tmp", "a user's file");
    EXPECT_EQ(RemoveToolTempFiles(dir.Path() + L"\\"), 1);
    EXPECT_EQ(ListFolderFiles(dir.Path()), std::vector<std::wstring>{L"~tq2zul-notes.tmp"});
}

TEST(FileCopy, CopiesThroughATemporaryFileAndFailsCleanly)
{
    TempDir dir;
    WriteFileBytes(dir / L"source.dll", "new");
    SetFileAttributesW((dir / L"source.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    std::wstring temp;
    ASSERT_EQ(CopyToTempBeside(dir / L"source.dll", dir / L"target.dll", temp), 0u);
    EXPECT_TRUE(IsToolTempName(FileNameOf(temp)) && !IsReadOnlyFile(temp)) << "a copy that can be replaced again";
    EXPECT_EQ(MoveThrough(temp, dir / L"source.dll", false), static_cast<unsigned long>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(MoveThrough(temp, dir / L"target.dll", false), 0u);
    EXPECT_EQ(ReadFileBytes(dir / L"target.dll"), "new");
    EXPECT_EQ(CopyToTempBeside(dir / L"gone.dll", dir / L"other.dll", temp), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(IsReadOnlyFile(dir / L"source.dll") && !IsReadOnlyFile(dir / L"target.dll") && !IsReadOnlyFile(dir / L"none"));
    SetFileAttributesW((dir / L"source.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ListFolderFiles(dir.Path()).size(), 2u) << "no temporary file left";
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
    EXPECT_TRUE(SwapInTemp(WriteTempBeside(target, {"ne", "w"}), target, true));
    release.join();
    EXPECT_TRUE(ReadFileBytes(target) == "new" && (GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN)) << "its attributes kept";

    // Held for good: it gives up, the file as it was, the temporary file gone.
    held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(SwapInTemp(WriteTempBeside(target, {"lost"}), target, true));
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(target), "new");

    // Removed since it was read: the new content still takes its place.
    DeleteFileW(target.c_str());
    EXPECT_TRUE(SwapInTemp(WriteTempBeside(target, {"after removal"}), target, true) && ReadFileBytes(target) == "after removal");

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
