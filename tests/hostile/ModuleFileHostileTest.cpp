#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>

#include "modules/CiStFileInformation.h"
#include "modules/ModuleMachine.h"
#include "support/ModuleFactory.h"
#include "support/TestSupport.h"
#include "hostile/HostileRandom.h"
#include "hostile/MenuChecks.h"
#include "hostile/SeededCases.h"

namespace {

constexpr int kUntouched = 7;  // what is64Bit holds before a check that must not set it

unsigned Byte(const std::string& bytes, size_t i)
{
    return static_cast<unsigned char>(bytes[i]);
}

unsigned Word(const std::string& bytes, size_t at)
{
    return Byte(bytes, at) | Byte(bytes, at + 1) << 8;
}

void PutWord(std::string& bytes, size_t at, unsigned value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

// The answer the PE machine check must give for a file of these bytes, worked out from
// the rule: the header offset is the signed 32-bit value at 0x3C; "PE\0\0" must stand
// there, followed by the machine field; x64 and Itanium are 64-bit, x86 is 32-bit,
// anything else (or any of it missing) cannot be classified.
std::optional<int> ExpectedMachine(const std::string& bytes)
{
    if (bytes.size() < 0x40)
        return std::nullopt;
    const auto offset = static_cast<int32_t>(Word(bytes, 0x3C) | static_cast<uint32_t>(Word(bytes, 0x3E)) << 16);
    if (offset < 0 || static_cast<size_t>(offset) + 6 > bytes.size() ||
        bytes.compare(static_cast<size_t>(offset), 4, std::string("PE\0\0", 4)) != 0)
        return std::nullopt;
    const unsigned machine = Word(bytes, static_cast<size_t>(offset) + 4);
    if (machine == 0x8664 || machine == 0x200)
        return 1;
    if (machine == 0x14C)
        return 0;
    return std::nullopt;
}

// Empty when CheckModuleMachine answers for the file at path (holding bytes) as the
// rule says and leaves is64Bit alone when it cannot classify.
std::string CompareMachine(const std::wstring& path, const std::string& bytes)
{
    int is64Bit = kUntouched;
    const bool classified = CheckModuleMachine(path, is64Bit);
    const std::optional<int> expected = ExpectedMachine(bytes);
    if (classified != expected.has_value() || is64Bit != expected.value_or(kUntouched))
        return "machine check gave " + std::string(classified ? "true" : "false") + " with is64Bit " +
               std::to_string(is64Bit) + ", expected " +
               (expected ? "true with " + std::to_string(*expected) : std::string("false, untouched")) +
               "\n  file: \"" + Quoted(bytes.substr(0, 0x48)) + "\"";
    return {};
}

// A small file built around a PE header: the header offset anywhere (inside, at the
// very end, past the end, negative), the signature right or nearly right, the machine
// one of those classified, a neighbour of one, or anything.
std::string MakeHeaderBytes(HostileRandom& rng)
{
    std::string bytes(rng.OneIn(8) ? rng.Below(0x40) : rng.Between(0x40, 700), '\0');
    for (char& c : bytes)
        c = rng.OneIn(3) ? '\0' : static_cast<char>(rng.Byte());
    if (bytes.size() >= 2 && rng.OneIn(2))
        bytes.replace(0, 2, "MZ");
    if (bytes.size() < 0x40)
        return bytes;
    int64_t offset = 0;
    switch (rng.Below(10)) {
    case 0: offset = static_cast<int32_t>(rng.Next()); break;
    case 1: offset = -static_cast<int64_t>(rng.Between(1, 16)); break;
    case 2: offset = static_cast<int64_t>(bytes.size()) - static_cast<int64_t>(rng.Between(0, 8)); break;
    case 3: offset = static_cast<int64_t>(bytes.size() + rng.Below(64)); break;
    default: offset = static_cast<int64_t>(rng.Below(bytes.size() - 6)); break;
    }
    PutWord(bytes, 0x3C, static_cast<uint32_t>(offset) & 0xFFFF);
    PutWord(bytes, 0x3E, static_cast<uint32_t>(offset) >> 16);
    static constexpr unsigned kMachines[] = {0x8664, 0x200, 0x14C, 0x14D, 0xAA64, 0x1C4, 0x8665, 0x0000, 0x6486};
    const unsigned machine = rng.OneIn(8) ? static_cast<unsigned>(rng.Next() & 0xFFFF) : rng.Pick(kMachines);
    const char header[] = {'P', 'E', '\0', '\0', static_cast<char>(machine & 0xFF), static_cast<char>(machine >> 8)};
    for (int64_t at = offset; at >= 0 && at < static_cast<int64_t>(bytes.size()) && at - offset < 6; ++at)
        bytes[static_cast<size_t>(at)] = header[at - offset];
    if (rng.OneIn(8))
        bytes[static_cast<size_t>(offset >= 0 && offset < static_cast<int64_t>(bytes.size()) ? offset : 0)] ^=
            static_cast<char>(1 << rng.Below(8));
    return bytes;
}

// The eight strings in field order.
std::vector<std::wstring> Strings(const CiStFileInformation& info)
{
    return {info.CompanyName,      info.FileDescription, info.FileVersion, info.InternalName,
            info.LegalCopyright,   info.OriginalFilename, info.ProductName, info.ProductVersion};
}

constexpr const wchar_t* kKeys[] = {L"CompanyName",    L"FileDescription",  L"FileVersion", L"InternalName",
                                    L"LegalCopyright", L"OriginalFilename", L"ProductName", L"ProductVersion"};

// Empty when every string is either empty or the text the file holds for its key.
std::string CompareStrings(const CiStFileInformation& info, const std::vector<std::wstring>& allowed)
{
    const std::vector<std::wstring> got = Strings(info);
    for (size_t k = 0; k < got.size(); ++k)
        if (!got[k].empty() && got[k] != allowed[k])
            return Utf8(kKeys[k]) + " read as \"" + Utf8(got[k]) + "\" (" + std::to_string(got[k].size()) +
                   " characters), neither empty nor what the file holds";
    return {};
}

// Where each block of a well-formed version resource lies, for damaging it on purpose.
struct VersionBlock {
    size_t start, keyEnd, value, valueBytes;
    bool text;
};

size_t Align4(size_t at)
{
    return (at + 3) & ~size_t{3};
}

void CollectBlocks(const std::string& res, size_t start, std::vector<VersionBlock>& blocks)
{
    const bool text = Word(res, start + 4) == 1;
    size_t keyEnd = start + 6;
    while (Word(res, keyEnd) != 0)
        keyEnd += 2;
    const size_t value = Align4(keyEnd + 2);
    const size_t valueBytes = text ? Word(res, start + 2) * 2 : Word(res, start + 2);
    blocks.push_back({start, keyEnd, value, valueBytes, text});
    for (size_t child = Align4(value + valueBytes); child < start + Word(res, start);
         child = Align4(child + Word(res, child)))
        CollectBlocks(res, child, blocks);
}

// The text stored from byte at on, up to its NUL; nothing when no NUL comes before end.
std::wstring StoredText(const std::string& res, size_t at, size_t end)
{
    std::wstring text;
    for (; at + 1 < end; at += 2) {
        if (Word(res, at) == 0)
            return text;
        text += static_cast<wchar_t>(Word(res, at));
    }
    return {};
}

}  // namespace

TEST(HostileModuleFile, MachineCheckAnswersFromTheHeaderBytesAlone)
{
    TempDir dir;
    const std::wstring path = dir / L"apHeader.dll";
    constexpr int kCases = 2000;
    int classified = 0;
    ForEachSeededCase(10, kCases, [&](HostileRandom& rng) {
        const std::string bytes = MakeHeaderBytes(rng);
        WriteFileBytes(path, bytes);
        classified += ExpectedMachine(bytes).has_value() ? 1 : 0;
        return CompareMachine(path, bytes);
    });
    EXPECT_GT(classified, kCases / 10) << "the generator should also make classifiable headers";
}

TEST(HostileModuleFile, BitFlippedAndTruncatedModulesNeverYieldForeignText)
{
    // Real modules with damage in their headers (where the PE offset, signature, machine
    // and section table lie) or cut short: the machine check follows the bytes, and the
    // version strings are what the intact module holds, or empty.
    TempDir dir;
    const std::wstring path = dir / L"apDamaged.dll";
    std::vector<std::pair<std::string, std::vector<std::wstring>>> originals;
    for (const wchar_t* name : {L"apSampleFull.dll", L"apSample32.dll"}) {
        const CiStFileInformation clean(FixturePath(name));
        ASSERT_FALSE(clean.InternalName.empty()) << Utf8(name);
        originals.emplace_back(ReadFileBytes(FixturePath(name)), Strings(clean));
        ASSERT_GT(originals.back().first.size(), 0x400u) << Utf8(name);
    }
    ForEachSeededCase(11, 600, [&](HostileRandom& rng) {
        const auto& [original, strings] = originals[rng.Below(originals.size())];
        std::string bytes = original;
        if (rng.OneIn(4)) {
            bytes.resize(rng.Below(rng.OneIn(2) ? 0x400 : bytes.size()));
        } else {
            const size_t peOffset = Word(bytes, 0x3C);
            for (size_t f = rng.Between(1, 4); f > 0; --f) {
                const size_t at = rng.OneIn(3)   ? 0x3C + rng.Below(4)
                                  : rng.OneIn(2) ? peOffset + rng.Below(8)
                                                 : rng.Below(0x400);
                bytes[at] ^= static_cast<char>(1 << rng.Below(8));
            }
        }
        WriteFileBytes(path, bytes);
        const std::string problem = CompareMachine(path, bytes);
        return problem.empty() ? CompareStrings(CiStFileInformation(path), strings) : problem;
    });
}

TEST(HostileModuleFile, DamagedVersionResourcesGiveEmptyOrStoredStrings)
{
    // A module whose version resource has wrong lengths, lengths that lead past their
    // parent or past the end, wrong types, keys and values without their terminating
    // NUL. A string read must be the text the file stores for that key, never text of
    // the blocks that follow it.
    TempDir dir;
    std::vector<VersionString> strings;
    for (const wchar_t* key : kKeys)
        strings.push_back({key, std::wstring(L"값 of ") + key});
    strings[3].value = L"Odd";  // lengths of both parities, so padding follows some values
    strings[7].value = L"1.2.3";
    const std::wstring path = dir / L"apVersion.dll";
    CopyBareModule(path, true);
    const std::string version = BuildVersionResource(L"041204b0", strings);
    StampResource(path, kResourceTypeVersion, 1, kLanguageKorean, version);
    const std::string file = ReadFileBytes(path);
    const size_t resource = file.find(version);
    ASSERT_NE(resource, std::string::npos) << "the resource is stored as it was given";
    std::vector<VersionBlock> blocks;
    CollectBlocks(version, 0, blocks);
    ASSERT_GT(blocks.size(), 10u);
    std::vector<VersionBlock> keyBlocks;  // the text block of each key, in key order
    for (const wchar_t* key : kKeys)
        for (const VersionBlock& b : blocks)
            if (b.text && b.valueBytes > 0 && StoredText(version, b.start + 6, b.keyEnd + 2) == key)
                keyBlocks.push_back(b);
    ASSERT_EQ(keyBlocks.size(), std::size(kKeys));

    constexpr int kCases = 1000;
    int filled = 0;
    ForEachSeededCase(12, kCases, [&](HostileRandom& rng) {
        std::string res = version;
        for (size_t d = rng.Between(1, 3); d > 0; --d) {
            const VersionBlock& b = blocks[rng.Below(blocks.size())];
            const unsigned length = Word(res, b.start);
            switch (rng.Below(5)) {
            case 0: {  // block length: zero, tiny, a little off, past its parent, past the end
                const unsigned wrong[] = {0u, 1u, 6u, length - 2, length + 2, length + 4 + unsigned(rng.Below(300)),
                                          0xFFFFu, unsigned(rng.Next() & 0xFFFF)};
                PutWord(res, b.start, rng.Pick(wrong));
                break;
            }
            case 1: {  // value length
                const unsigned wrong[] = {0u, 1u, 0xFFFFu, unsigned(rng.Next() & 0xFFFF)};
                PutWord(res, b.start + 2, rng.Pick(wrong));
                break;
            }
            case 2: PutWord(res, b.start + 4, static_cast<unsigned>(rng.Below(4))); break;  // type
            case 3: PutWord(res, b.keyEnd, 'X'); break;                                      // key's terminator
            default:                                                                          // value's terminator
                if (b.text && b.valueBytes >= 2)
                    PutWord(res, b.value + b.valueBytes - 2, 'Y');
            }
        }
        // A string ends at its NUL inside its own block, as the block's length (perhaps
        // damaged) marks it, and inside the version data; without one there it is empty.
        std::vector<std::wstring> allowed;
        for (const VersionBlock& b : keyBlocks)
            allowed.push_back(StoredText(res, b.value, std::min<size_t>({res.size(), Word(res, 0), b.start + Word(res, b.start)})));
        std::string bytes = file;
        bytes.replace(resource, res.size(), res);
        WriteFileBytes(path, bytes);
        const CiStFileInformation info(path);
        for (const std::wstring& s : Strings(info))
            filled += s.empty() ? 0 : 1;
        return CompareStrings(info, allowed);
    });
    EXPECT_GT(filled, kCases) << "damage to one block should leave the strings of others readable";
}

TEST(HostileModuleFile, TruncatedVersionResourcesGiveEmptyOrWholeStrings)
{
    // The resource stored shorter than its blocks claim, cut anywhere: a string that
    // was cut off is not read as a part of itself.
    TempDir dir;
    std::vector<VersionString> strings;
    std::vector<std::wstring> allowed;
    for (const wchar_t* key : kKeys) {
        strings.push_back({key, std::wstring(L"잘린 ") + key + L" 값"});
        allowed.push_back(strings.back().value);
    }
    const std::string whole = BuildVersionResource(L"041204b0", strings);
    const std::wstring path = dir / L"apCut.dll";
    ForEachSeededCase(13, 200, [&](HostileRandom& rng) {
        const size_t cut = rng.Below(whole.size());
        CopyBareModule(path, true);
        StampResource(path, kResourceTypeVersion, 1, kLanguageKorean, whole.substr(0, cut));
        const std::string problem = CompareStrings(CiStFileInformation(path), allowed);
        DeleteFileW(path.c_str());
        return problem.empty() ? problem : "cut at " + std::to_string(cut) + ": " + problem;
    });
}

TEST(HostileModuleFile, FilesThatCannotBeModulesAreInspectedWithoutHarm)
{
    TempDir dir;
    const std::wstring empty = dir / L"apEmpty.dll";
    WriteFileBytes(empty, "");
    const std::wstring folder = dir / L"apFolder.dll";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring locked = dir / L"apLocked.dll";
    ASSERT_TRUE(CopyFileW(FixturePath(L"apSampleFull.dll").c_str(), locked.c_str(), FALSE));

    HANDLE holder = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    for (const std::wstring& path : {empty, folder, locked, dir / L"apMissing.dll", std::wstring(), folder + L"\\"}) {
        int is64Bit = kUntouched;
        EXPECT_FALSE(CheckModuleMachine(path, is64Bit)) << Utf8(path);
        EXPECT_EQ(is64Bit, kUntouched) << Utf8(path);
        const CiStFileInformation info(path);
        EXPECT_FALSE(info.GetStatus()) << Utf8(path);
        EXPECT_EQ(Strings(info), std::vector<std::wstring>(8)) << Utf8(path);
    }
    CloseHandle(holder);

    // Once let go, the same file reads in full, and neither inspection keeps it open.
    int is64Bit = kUntouched;
    EXPECT_TRUE(CheckModuleMachine(locked, is64Bit));
    EXPECT_EQ(is64Bit, 1);
    EXPECT_TRUE(CiStFileInformation(locked).GetStatus());
    HANDLE exclusive = CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(exclusive, INVALID_HANDLE_VALUE) << "an inspection left the file open";
    CloseHandle(exclusive);
}
