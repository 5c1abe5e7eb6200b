#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

#include "menu/Deploy.h"
#include "platform/FileCopy.h"
#include "platform/TempFile.h"
#include "support/TestSupport.h"

namespace {

std::set<std::wstring> AsSet(const CStringArray& items)
{
    return {items.begin(), items.end()};
}

int CountToolTempFiles(const std::wstring& folder)
{
    int n = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do
        n += IsToolTempName(data.cFileName) ? 1 : 0;
    while (FindNextFileW(find, &data));
    FindClose(find);
    return n;
}

}  // namespace

TEST(FindModuleFiles, CaseSensitiveSubstringInTheFolderOnly)
{
    TempDir dir;
    for (const wchar_t* name : {L"apFoo.dll", L"apFoo_16.png", L"apFooBar.dll", L"OldFoo.txt", L"apfoo.dll",
                                L"apBar.dll", L"Fo.o"})
        WriteFileBytes(dir / name, "x");
    CreateDirectoryW((dir / L"Foo_sub").c_str(), nullptr);
    WriteFileBytes(dir / L"Foo_sub\\apFoo_inner.dll", "x");

    CStringArray paths, names;
    paths.Add(L"kept");
    names.Add(L"kept");
    FindModuleFiles(dir.Path(), L"apFoo.dll", paths, names);
    EXPECT_EQ(AsSet(names), (std::set<std::wstring>{L"kept", L"apFoo.dll", L"apFoo_16.png", L"apFooBar.dll",
                                                    L"OldFoo.txt"}))
        << "lists are appended to, case matters, folders are neither found nor searched";
    ASSERT_EQ(paths.GetSize(), names.GetSize());
    for (int i = 1; i < names.GetSize(); ++i)
        EXPECT_EQ(paths.GetAt(i), dir / names.GetAt(i)) << "paths and names pair up";

    CStringArray allPaths, allNames;
    FindModuleFiles(dir.Path(), L"apapp.dll", allPaths, allNames);
    EXPECT_EQ(allNames.GetSize(), 0) << "an empty key must not select the whole folder";
    FindModuleFiles(dir / L"missing", L"apFoo.dll", allPaths, allNames);
    EXPECT_EQ(allNames.GetSize(), 0);
}

TEST(FolderChain, ExistsAndIsCreatedLevelByLevelExceptBelowDottedNames)
{
    TempDir dir;
    EXPECT_TRUE(FolderExists(dir.Path()));
    EXPECT_TRUE(FolderExists(dir.Path() + L"\\\\"));
    std::wstring forward = dir.Path();
    std::replace(forward.begin(), forward.end(), L'\\', L'/');
    EXPECT_TRUE(FolderExists(forward + L"/"));
    EXPECT_FALSE(FolderExists(dir / L"none"));
    EXPECT_FALSE(FolderExists(L""));
    WriteFileBytes(dir / L"file", "x");
    EXPECT_TRUE(FolderExists(dir / L"file")) << "a file counts as found";

    CreateFolderChain(dir / L"a\\b/c");
    EXPECT_TRUE(FolderExists(dir / L"a\\b\\c"));
    CreateFolderChain(dir / L"a\\b\\c");
    EXPECT_TRUE(FolderExists(dir / L"a\\b\\c")) << "existing levels are passed over";

    CreateFolderChain(dir / L"v1.0\\zul_ap");
    EXPECT_FALSE(FolderExists(dir / L"v1.0")) << "a dotted level is taken for a file name";
    EXPECT_FALSE(FolderExists(dir / L"v1.0\\zul_ap"));
}

TEST(CopyFileWhole, ReplacesWholeOrLeavesTheTargetAsItWas)
{
    TempDir dir;
    const std::wstring source = dir / L"source.dll", target = dir / L"target.dll";
    WriteFileBytes(source, std::string(300000, 'n'));
    WriteFileBytes(target, "old");

    EXPECT_EQ(CopyFileWhole(source, target), 0u);
    EXPECT_EQ(ReadFileBytes(target), std::string(300000, 'n')) << "an existing target is replaced";
    EXPECT_EQ(CopyFileWhole(source, dir / L"fresh.dll"), 0u);
    EXPECT_TRUE(FileExists(dir / L"fresh.dll"));

    WriteFileBytes(target, "old");
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(CopyFileWhole(source, target), kErrorTargetReadOnly);
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadFileBytes(target), "old");

    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_NE(CopyFileWhole(source, target), 0u) << "a target held open without sharing";
    CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(target), "old");

    EXPECT_EQ(CopyFileWhole(dir / L"gone.dll", target), static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_EQ(CountToolTempFiles(dir.Path()), 0) << "no temporary file is left after a failure";

    SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(CopyFileWhole(source, dir / L"copy.dll"), 0u) << "a read-only source copies like any other";
    EXPECT_NE(GetFileAttributesW((dir / L"copy.dll").c_str()) & FILE_ATTRIBUTE_READONLY, 0u)
        << "the copy keeps the source's attributes";
    SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesW((dir / L"copy.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(CopyFileWhole, AReaderSeesTheOldFileOrTheWholeNewOneNeverPart)
{
    TempDir dir;
    const size_t size = 4u << 20;
    const std::wstring oldSource = dir / L"old.bin", newSource = dir / L"new.bin", target = dir / L"apTarget.dll";
    WriteFileBytes(oldSource, std::string(size, 'o'));
    WriteFileBytes(newSource, std::string(size, 'n'));
    WriteFileBytes(target, std::string(size, 'o'));

    std::atomic<bool> done{false};
    std::atomic<int> reads{0}, torn{0};
    std::thread reader([&] {
        std::string buffer(size + 1, '\0');
        while (!done) {
            // Shares deletion, as a reader that lets a file be replaced under it would.
            HANDLE file = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                continue;
            DWORD got = 0, total = 0;
            while (ReadFile(file, buffer.data() + total, static_cast<DWORD>(buffer.size() - total), &got, nullptr) && got)
                total += got;
            CloseHandle(file);
            const bool whole = total == size && (std::all_of(buffer.begin(), buffer.begin() + size,
                                                             [](char c) { return c == 'o'; }) ||
                                                 std::all_of(buffer.begin(), buffer.begin() + size,
                                                             [](char c) { return c == 'n'; }));
            torn += whole ? 0 : 1;
            ++reads;
        }
    });
    // Windows may refuse a replace while the reader has the file open; then try again.
    int replaced = 0;
    for (int attempt = 0; attempt < 500 && replaced < 6; ++attempt)
        replaced += CopyFileWhole(replaced % 2 ? oldSource : newSource, target) == 0 ? 1 : 0;
    WaitFor([&] { return reads > 0; });
    done = true;
    reader.join();
    EXPECT_EQ(replaced, 6);
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(torn.load(), 0) << "of " << reads.load() << " reads";
}
