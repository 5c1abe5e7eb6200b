#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string_view>
#include <thread>

#include "menu/Deploy.h"
#include "platform/FileCopy.h"
#include "support/TestSupport.h"

namespace {

std::set<std::wstring> AsSet(const CStringArray& items)
{
    return {items.begin(), items.end()};
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

TEST(CopyFileWhole, AReaderSeesTheOldFileOrTheWholeNewOneNeverPart)
{
    TempDir dir;
    const size_t size = 4u << 20;
    const std::wstring oldSource = dir / L"old.bin", newSource = dir / L"new.bin", target = dir / L"apTarget.dll";
    const std::string oldBytes(size, 'o'), newBytes(size, 'n');
    WriteFileBytes(oldSource, oldBytes);
    WriteFileBytes(newSource, newBytes);
    WriteFileBytes(target, oldBytes);

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
            const std::string_view seen(buffer.data(), total);
            torn += seen == oldBytes || seen == newBytes ? 0 : 1;
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
