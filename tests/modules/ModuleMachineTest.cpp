#include <gtest/gtest.h>

#include <cstdint>

#include "modules/ModuleMachine.h"
#include "support/ModuleFactory.h"
#include "support/TestSupport.h"

namespace {

constexpr int kUntouched = 7;

void PutLittleEndian(std::string& bytes, size_t at, uint32_t value, size_t width)
{
    if (bytes.size() < at + width)
        bytes.resize(at + width, '\0');
    for (size_t i = 0; i < width; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The start of an image: "MZ", the header offset at 0x3C, and at that offset the PE
// signature followed by the machine field.
std::string ImageHead(uint32_t headerOffset, uint16_t machine, bool withMz = true)
{
    std::string bytes(64, '\0');
    if (withMz) {
        bytes[0] = 'M';
        bytes[1] = 'Z';
    }
    PutLittleEndian(bytes, 0x3C, headerOffset, 4);
    bytes.resize(std::max<size_t>(bytes.size(), headerOffset), '\0');
    bytes.replace(headerOffset, 4, std::string("PE\0\0", 4));
    PutLittleEndian(bytes, headerOffset + 4, machine, 2);
    bytes.resize(std::max<size_t>(bytes.size(), headerOffset + 24), '\0');
    return bytes;
}

// An x64 image head with one field overwritten.
std::string X64HeadWith(size_t at, uint32_t value, size_t width)
{
    std::string bytes = ImageHead(0x80, 0x8664);
    PutLittleEndian(bytes, at, value, width);
    return bytes;
}

struct Outcome {
    bool classified;
    int is64Bit;
};

Outcome Check(const std::wstring& path)
{
    Outcome o{false, kUntouched};
    o.classified = CheckModuleMachine(path, o.is64Bit);
    return o;
}

// Checks a file of the given bytes, and that the check let go of it whatever it found.
Outcome CheckBytes(const TempDir& dir, const std::string& name, const std::string& bytes)
{
    std::wstring path = dir / std::wstring(name.begin(), name.end());
    WriteFileBytes(path, bytes);
    Outcome o = Check(path);
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << name << ": still open after the check";
    CloseHandle(h);
    return o;
}

}  // namespace

TEST(ModuleMachine, ClassifiesBuiltModulesAndPrograms)
{
    TempDir dir;
    MakeModuleDll(dir / L"apMade32.dll", {L"Made32.dll", L"삼십이", L"1.0.0.0", false});
    MakeModuleDll(dir / L"apMade64.dll", {L"Made64.dll", L"육십사"});
    // An executable is classified like a module.
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
    const std::pair<std::wstring, int> cases[] = {
        {FixturePath(L"apSampleFull.dll"), 1}, {FixturePath(L"apSample32.dll"), 0}, {self, 1},
        {dir / L"apMade32.dll", 0}, {dir / L"apMade64.dll", 1},
    };
    for (const auto& [path, is64Bit] : cases) {
        Outcome o = Check(path);
        EXPECT_TRUE(o.classified) << Utf8(path);
        EXPECT_EQ(o.is64Bit, is64Bit) << Utf8(path);
    }
}

TEST(ModuleMachine, ClassifiesByTheMachineFieldAloneAndRefusesWhatIsNoReadableImage)
{
    TempDir dir;
    std::string text(400, ' ');
    text.replace(0, 40, "This is a plain text file, not a module.");
    struct Case {
        const char* name;
        std::string bytes;
        bool classified;
        int is64Bit;
    } cases[] = {
        {"itanium", ImageHead(0x80, 0x200), true, 1},
        {"x64", ImageHead(0x80, 0x8664), true, 1},
        {"x86", ImageHead(0x80, 0x14C), true, 0},
        {"no MZ", ImageHead(0x80, 0x14C, false), true, 0},
        {"header inside the DOS header", ImageHead(0x10, 0x8664), true, 1},
        {"arm64", ImageHead(0x80, 0xAA64), false, kUntouched},
        {"arm", ImageHead(0x80, 0x1C4), false, kUntouched},
        {"machine unknown", ImageHead(0x80, 0x0000), false, kUntouched},
        {"machine byte-swapped", ImageHead(0x80, 0x6486), false, kUntouched},
        {"empty", "", false, kUntouched},
        {"shorter than 64 bytes", ImageHead(0x80, 0x8664).substr(0, 63), false, kUntouched},
        {"only MZ", "MZ", false, kUntouched},
        {"signature PE 1 0", X64HeadWith(0x82, 1, 1), false, kUntouched},
        {"signature pe", X64HeadWith(0x80, 'p', 1), false, kUntouched},
        {"machine field cut off", ImageHead(0x80, 0x8664).substr(0, 0x85), false, kUntouched},
        {"header offset past the end", X64HeadWith(0x3C, 0x10000, 4), false, kUntouched},
        {"negative header offset", X64HeadWith(0x3C, 0xFFFFFFF0u, 4), false, kUntouched},
        {"most negative header offset", X64HeadWith(0x3C, 0x80000000u, 4), false, kUntouched},
        {"plain text", text, false, kUntouched},
        {"picture", "\x89PNG\r\n\x1a\n" + std::string(120, '\x11'), false, kUntouched},
    };
    for (const Case& c : cases) {
        Outcome o = CheckBytes(dir, c.name, c.bytes);
        EXPECT_EQ(o.classified, c.classified) << c.name;
        EXPECT_EQ(o.is64Bit, c.is64Bit) << c.name << (c.classified ? "" : ": is64Bit changed on failure");
    }
}

TEST(ModuleMachine, RefusesMissingFilesFoldersAndFilesHeldByAnother)
{
    TempDir dir;
    EXPECT_FALSE(Check(dir / L"missing.dll").classified) << "missing file";
    EXPECT_FALSE(Check(dir.Path()).classified) << "a folder";

    std::wstring good = dir / L"good.dll";
    WriteFileBytes(good, ImageHead(0x80, 0x8664));
    HANDLE held = CreateFileW(good.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Outcome o = Check(good);
    CloseHandle(held);
    EXPECT_FALSE(o.classified) << "a file another handle holds without sharing cannot be read";
    EXPECT_EQ(o.is64Bit, kUntouched);
}
