#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "app/FolderLookup.h"
#include "modules/CiStFileInformation.h"
#include "resource.h"
#include "support/TestSupport.h"

namespace {

// The built program sits in bin/ beside the tests' folder.
std::wstring ProgramPath()
{
    std::wstring relative = FolderOfPath(TestBinFolder()) + L"\\bin\\TQ2ZULSetup.exe";
    wchar_t full[4096];
    GetFullPathNameW(relative.c_str(), static_cast<DWORD>(std::size(full)), full, nullptr);
    return full;
}

std::vector<BYTE> VersionBlock(const std::wstring& path)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    std::vector<BYTE> block(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), handle, size, block.data()))
        block.clear();
    return block;
}

// The text under sub-block, or "<missing>".
std::string Text(std::vector<BYTE>& block, const std::wstring& subBlock)
{
    wchar_t* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), subBlock.c_str(), reinterpret_cast<void**>(&text), &length) || !text)
        return "<missing>";
    return Utf8(text);
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInResource;
    WORD id;
};
struct IconGroupHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

}  // namespace

TEST(ProgramResources, VersionStringsUnderTheKoreanCodePage949Table)
{
    std::wstring exe = ProgramPath();
    ASSERT_TRUE(FileExists(exe)) << Utf8(exe);
    std::vector<BYTE> block = VersionBlock(exe);
    ASSERT_FALSE(block.empty()) << "the program has no version resource";

    const std::wstring table = L"\\StringFileInfo\\041203b5\\";
    const std::pair<const wchar_t*, std::wstring> strings[] = {
        {L"FileDescription", L"ZUL Setup(QUORAL2 용)"}, {L"FileVersion", L"1.0.0.1"},
        {L"ProductVersion", L"1.0.0.1"}, {L"InternalName", L"TQ2ZULSetup.exe"},
        {L"OriginalFilename", L"TQ2ZULSetup.exe"}, {L"ProductName", L"TQ2ZULSetup"}};
    for (const auto& [key, value] : strings)
        EXPECT_EQ(Text(block, table + key), Utf8(value)) << Utf8(key);
    for (const wchar_t* maker : {L"CompanyName", L"LegalCopyright"}) {
        std::string value = Text(block, table + maker);
        EXPECT_NE(value, "<missing>") << Utf8(maker);
        EXPECT_NE(value.find("TQ2ZULSetup"), std::string::npos) << Utf8(maker) << " names our own team: " << value;
    }

    DWORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_EQ(length, 4u) << "one translation entry";
    EXPECT_EQ(LOWORD(*translation), 0x0412) << "language";
    EXPECT_EQ(HIWORD(*translation), 949) << "code page";

    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(1, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(1, 0));

    // Modules are read under another table only, so the program reads as no module.
    CiStFileInformation asModule(exe);
    EXPECT_FALSE(asModule.GetStatus());
    EXPECT_EQ(asModule.GetInternalName(), L"");
}

TEST(ProgramResources, IconGroupHoldsThirteenLoadableImages)
{
    std::wstring exe = ProgramPath();
    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr) << Utf8(exe);

    HRSRC group = FindResourceW(image, MAKEINTRESOURCEW(IDR_MAINFRAME), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr) << "icon group " << IDR_MAINFRAME;
    const auto* header = static_cast<const IconGroupHeader*>(LockResource(LoadResource(image, group)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->count, 13);
    ASSERT_GE(SizeofResource(image, group), sizeof(IconGroupHeader) + header->count * sizeof(IconGroupEntry));

    const auto* entries = reinterpret_cast<const IconGroupEntry*>(header + 1);
    std::set<int> trueColorSizes;
    for (int i = 0; i < header->count; ++i) {
        const IconGroupEntry& e = entries[i];
        int size = e.width == 0 ? 256 : e.width;
        HRSRC one = FindResourceW(image, MAKEINTRESOURCEW(e.id), MAKEINTRESOURCEW(3));  // RT_ICON
        ASSERT_NE(one, nullptr) << "image " << e.id << " of the group is missing";
        EXPECT_EQ(SizeofResource(image, one), e.bytesInResource) << "image " << e.id;
        if (e.bitCount == 32)
            trueColorSizes.insert(size);
    }
    for (int size : {16, 32, 48, 256}) {
        EXPECT_EQ(trueColorSizes.count(size), 1u) << "no 32-bit image of " << size << " pixels";
        HICON icon = static_cast<HICON>(
            LoadImageW(image, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        EXPECT_NE(icon, nullptr) << "icon of " << size << " pixels does not load";
        if (icon)
            DestroyIcon(icon);
    }
    FreeLibrary(image);
}
