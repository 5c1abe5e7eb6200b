#include <gtest/gtest.h>

#include "modules/CiStFileInformation.h"
#include "support/ModuleFactory.h"
#include "support/TestSupport.h"

// Other tests build on made modules being real modules: loadable, runnable, and of
// the bulk they asked for.
TEST(ModuleFactory, MadeModulesLoadRunAndCarryTheirBulk)
{
    TempDir dir;
    const size_t pad = 3 * 1024 * 1024;
    std::wstring plain = dir / L"apPlain.dll";
    std::wstring bulky = dir / L"apBulky.dll";
    MakeModuleDll(plain, {L"Plain.dll", L"보통"});
    MakeModuleDll(bulky, {L"Bulky.dll", L"큰 모듈", L"5.6.7.8", true, pad});

    size_t plainSize = ReadFileBytes(plain).size();
    size_t bulkySize = ReadFileBytes(bulky).size();
    EXPECT_GE(bulkySize, plainSize + pad) << "padding missing";
    EXPECT_LT(bulkySize, plainSize + pad + 64 * 1024) << "padding far larger than asked";

    for (const std::wstring& path : {plain, bulky}) {
        HMODULE module = LoadLibraryW(path.c_str());
        ASSERT_NE(module, nullptr) << Utf8(path) << " does not load, error " << GetLastError();
        using Entry = int (*)();
        auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "FixtureModuleVersion")));
        ASSERT_NE(entry, nullptr) << Utf8(path);
        EXPECT_EQ(entry(), 1) << Utf8(path);
        FreeLibrary(module);
    }

    CiStFileInformation info(bulky);
    EXPECT_TRUE(info.GetStatus());
    EXPECT_EQ(Utf8(info.GetFileDescription()), Utf8(L"큰 모듈"));
    EXPECT_EQ(Utf8(info.GetProductVersion()), "5.6.7.8");

    // The fixed version follows the version text.
    DWORD handle = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeW(bulky.c_str(), &handle));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(bulky.c_str(), handle, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(6, 5));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(8, 7));
}

TEST(ModuleFactory, RefusesToMakeWhatItCannotWrite)
{
    TempDir dir;
    EXPECT_THROW(MakeModuleDll(dir / L"no such folder\\apX.dll", {L"X.dll", L"x"}), std::runtime_error);

    std::wstring held = dir / L"apHeld.dll";
    MakeModuleDll(held, {L"Held.dll", L"잠김"});
    HANDLE h = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_THROW(MakeModuleDll(held, {L"Other.dll", L"다른"}), std::runtime_error);
    CloseHandle(h);
    EXPECT_EQ(Utf8(CiStFileInformation(held).GetInternalName()), "Held.dll") << "a held module was changed";
}
