#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <iostream>

#include "app/ModuleCatalogue.h"
#include "app/ModuleTable.h"
#include "menu/CiStTextFile.h"
#include "menu/MenuLoader.h"
#include "support/TestList.h"
#include "support/TestSupport.h"
#include "hostile/HostileRandom.h"
#include "hostile/MenuChecks.h"
#include "hostile/MenuGenerators.h"
#include "hostile/MenuReference.h"

namespace {

constexpr size_t kMiB = 1024 * 1024;

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Scene {
    TempDir dir;
    std::wstring path = dir / L"zulmenu.txt";
    TestList list;
    ModuleTable table{list.List()};
    ModuleCatalogue catalogue;

    Scene() { catalogue.FillCatalogue(); }
};

// One file through read, split, load and rewrite, each compared with the rules.
void CheckWholeFile(Scene& scene, const std::string& bytes, HostileRandom& rng, const std::string& label)
{
    WriteFileBytes(scene.path, bytes);
    const auto start = std::chrono::steady_clock::now();
    {
        CiStTextFile file;
        ASSERT_TRUE(file.ReadLines(scene.path)) << label;
        EXPECT_EQ(CompareRead(file, bytes), "") << label;
    }
    LoadMenuFile(scene.dir.Path(), scene.table, scene.catalogue);
    EXPECT_EQ(CompareLoad(scene.table, bytes, scene.dir.Path()), "") << label;
    NewEntries entries;
    do
        entries = MakeNewEntries(rng);
    while (entries.unencodable >= 0);
    EXPECT_EQ(CompareRewrite(scene.path, bytes, entries), "") << label;
    std::cout << "  " << label << ": " << bytes.size() << " bytes, read, load and rewrite checked in " << SecondsSince(start)
              << " s\n";
}

}  // namespace

TEST(BigMenuFile, LinesOfOneMebibyte)
{
    Scene scene;
    HostileRandom rng(CaseSeed(5, 0));

    // An entry whose menu name is a mebibyte of text, between two ordinary entries.
    DualText name;
    while (name.bytes.size() < kMiB)
        name.Append(RandomWord(rng, 40));
    const std::string ordinary = "\"Foo\" \"Menu\" \"CAD\" \"REGULAR\"\r\n";
    const std::string longEntry = ordinary + "\"LongName\" \"" + name.bytes + "\" \"CAD\" \"REGULAR\"\r\n" + ordinary;
    CheckWholeFile(scene, longEntry, rng, "an entry with a 1 MiB menu name");
    ASSERT_EQ(scene.table.GetCount(), 3);
    EXPECT_TRUE(scene.table.GetRow(1).menuName == name.wide) << "the long menu name is read whole";

    std::string random;
    while (random.size() < kMiB)
        random += rng.OneIn(4) ? '"' : static_cast<char>(rng.Byte() | 0x80);
    CheckWholeFile(scene, random, rng, "1 MiB of high bytes and quotes on one line, no line break");

    std::string strays;
    while (strays.size() < kMiB)
        strays += std::string(1, static_cast<char>(rng.Between(0x81, 0xFE))) + (rng.OneIn(2) ? "\"" : " \"");
    CheckWholeFile(scene, strays, rng, "1 MiB of stray lead bytes before quotes");

    CheckWholeFile(scene, std::string(kMiB, '\r'), rng, "1 MiB of CR alone");
    CheckWholeFile(scene, std::string(kMiB / 4, '\n'), rng, "256 Ki empty lines");

    std::string quotes;
    while (quotes.size() < kMiB)
        quotes += rng.OneIn(2) ? "\"" : " ";
    CheckWholeFile(scene, quotes + "\r\n" + quotes, rng, "two 1 MiB lines of quotes and spaces");
}

TEST(BigMenuFile, AHundredMebibytesWithLfAloneAndNoFinalBreak)
{
    // A block of about a mebibyte (long free-text lines around one entry), repeated,
    // with LF alone and no final break, so that every line is mended on the way out.
    HostileRandom rng(CaseSeed(6, 0));
    std::string freeLine;
    while (freeLine.size() < 2000)
        freeLine += RandomWord(rng, 20).bytes + (rng.OneIn(3) ? " \"" : " ");
    std::string block = "\"Big\" \"Menu\" \"CAM\" \"REGULAR\"\n";
    while (block.size() < kMiB - 2100)
        block += freeLine + "\n";
    constexpr int kBlocks = 100;
    const std::string tail = "last line without a break";
    std::string bytes;
    bytes.reserve(block.size() * kBlocks + tail.size());
    for (int b = 0; b < kBlocks; ++b)
        bytes += block;
    bytes += tail;
    ASSERT_GT(bytes.size(), 99 * kMiB);

    Scene scene;
    WriteFileBytes(scene.path, bytes);
    const size_t blockLines = ReferenceLines(block).size();

    auto start = std::chrono::steady_clock::now();
    LoadMenuFile(scene.dir.Path(), scene.table, scene.catalogue);
    const double loadSeconds = SecondsSince(start);
    ASSERT_EQ(scene.table.GetCount(), kBlocks) << "one entry per block";
    EXPECT_EQ(scene.table.GetRow(kBlocks - 1).dllFileName, L"apBig.dll");

    start = std::chrono::steady_clock::now();
    {
        CiStTextFile file;
        ASSERT_TRUE(file.ReadLinesForRewrite(scene.path));
        ASSERT_EQ(file.GetLines().GetSize(), static_cast<int>(blockLines * kBlocks + 1));
        EXPECT_EQ(file.GetRawLine(static_cast<int>(blockLines * 57 + 3)), freeLine);
        EXPECT_EQ(file.GetRawLine(static_cast<int>(blockLines * kBlocks)), tail);
        ASSERT_TRUE(file.WriteRewrite({L"\"New\" \"Entry\" \"CAD\" \"REGULAR\""}).ok);
    }
    const double rewriteSeconds = SecondsSince(start);

    const std::string blockOut = ReferenceRewrite(block, {});
    const std::string written = ReadFileBytes(scene.path);
    const std::string end = tail + "\r\n\"New\" \"Entry\" \"CAD\" \"REGULAR\"\r\n";
    ASSERT_EQ(written.size(), blockOut.size() * kBlocks + end.size());
    bool same = written.compare(written.size() - end.size(), end.size(), end) == 0;
    for (int b = 0; b < kBlocks && same; ++b)
        same = std::memcmp(written.data() + b * blockOut.size(), blockOut.data(), blockOut.size()) == 0;
    EXPECT_TRUE(same) << "the rewrite differs from the old lines, each with CR LF, plus the new entry";
    std::cout << "  100 MiB: load " << loadSeconds << " s, read for rewrite + rewrite " << rewriteSeconds << " s\n";
}
