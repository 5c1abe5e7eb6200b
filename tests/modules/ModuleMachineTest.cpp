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

Outcome CheckBytes(const TempDir& dir, const std::string& name, const std::string& bytes)
{
    std::wstring path = dir / std::wstring(name.begin(), name.end());
    WriteFileBytes(path, bytes);
    return Check(path);
}

}  // namespace

TEST(ModuleMachine, ClassifiesBuiltModulesAndPrograms)
{
    Outcome x64 = Check(FixturePath(L"apSampleFull.dll"));
    EXPECT_TRUE(x64.classified);
    EXPECT_EQ(x64.is64Bit, 1) << "x64 module";

    Outcome x86 = Check(FixturePath(L"apSample32.dll"));
    EXPECT_TRUE(x86.classified);
    EXPECT_EQ(x86.is64Bit, 0) << "x86 module";

    // An executable is classified like a module.
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
    Outcome program = Check(self);
    EXPECT_TRUE(program.classified);
    EXPECT_EQ(program.is64Bit, 1) << "this test program";

    TempDir dir;
    MakeModuleDll(dir / L"apMade32.dll", {L"Made32.dll", L"삼십이", L"1.0.0.0", false});
    MakeModuleDll(dir / L"apMade64.dll", {L"Made64.dll", L"육십사"});
    EXPECT_EQ(Check(dir / L"apMade32.dll").is64Bit, 0) << "made 32-bit module";
    EXPECT_EQ(Check(dir / L"apMade64.dll").is64Bit, 1) << "made 64-bit module";
}

TEST(ModuleMachine, ClassifiesByTheMachineFieldAlone)
{
    TempDir dir;
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
    };
    for (const Case& c : cases) {
        Outcome o = CheckBytes(dir, c.name, c.bytes);
        EXPECT_EQ(o.classified, c.classified) << c.name;
        EXPECT_EQ(o.is64Bit, c.is64Bit) << c.name;
    }
}

TEST(ModuleMachine, RefusesWhatIsNoReadableImage)
{
    TempDir dir;
    std::string badSignature = ImageHead(0x80, 0x8664);
    badSignature[0x82] = 1;  // "PE\1\0"
    std::string lowerCase = ImageHead(0x80, 0x8664);
    lowerCase[0x80] = 'p';
    std::string endsAfterSignature = ImageHead(0x80, 0x8664).substr(0, 0x85);
    std::string pastEnd = ImageHead(0x80, 0x8664);
    PutLittleEndian(pastEnd, 0x3C, 0x10000, 4);
    std::string negative = ImageHead(0x80, 0x8664);
    PutLittleEndian(negative, 0x3C, 0xFFFFFFF0u, 4);
    std::string mostNegative = ImageHead(0x80, 0x8664);
    PutLittleEndian(mostNegative, 0x3C, 0x80000000u, 4);
    std::string text(400, ' ');
    text.replace(0, 40, "This is a plain text file, not a module.");
    std::string png = "\x89PNG\r\n\x1a\n" + std::string(120, '\x11');

    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"shorter than 64 bytes", ImageHead(0x80, 0x8664).substr(0, 63)},
        {"only MZ", "MZ"},
        {"signature PE 1 0", badSignature},
        {"signature pe", lowerCase},
        {"machine field cut off", endsAfterSignature},
        {"header offset past the end", pastEnd},
        {"negative header offset", negative},
        {"most negative header offset", mostNegative},
        {"plain text", text},
        {"picture", png},
    };
    for (const auto& [name, bytes] : cases) {
        Outcome o = CheckBytes(dir, name, bytes);
        EXPECT_FALSE(o.classified) << name;
        EXPECT_EQ(o.is64Bit, kUntouched) << name << ": is64Bit changed on failure";
    }

    EXPECT_FALSE(Check(dir / L"missing.dll").classified) << "missing file";
    EXPECT_FALSE(Check(dir.Path()).classified) << "a folder";
}

TEST(ModuleMachine, LeavesTheFileClosedAndFailsOnAFileHeldByAnother)
{
    TempDir dir;
    std::wstring good = dir / L"good.dll";
    std::wstring bad = dir / L"bad.dll";
    WriteFileBytes(good, ImageHead(0x80, 0x8664));
    std::string wrongMachine = ImageHead(0x80, 0xAA64);
    WriteFileBytes(bad, wrongMachine);
    std::wstring shortFile = dir / L"short.dll";
    WriteFileBytes(shortFile, "MZ");

    for (const std::wstring& path : {good, bad, shortFile}) {
        Check(path);
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << Utf8(path) << " still open after the check";
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }

    HANDLE held = CreateFileW(good.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Outcome o = Check(good);
    CloseHandle(held);
    EXPECT_FALSE(o.classified) << "a file another handle holds without sharing cannot be read";
    EXPECT_EQ(o.is64Bit, kUntouched);
}
