#include <gtest/gtest.h>

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
}
