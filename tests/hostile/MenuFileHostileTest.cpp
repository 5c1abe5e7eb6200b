#include <gtest/gtest.h>

#include "app/ModuleCatalogue.h"
#include "app/ModuleTable.h"
#include "menu/CiStTextFile.h"
#include "menu/CodePage949.h"
#include "menu/MenuLoader.h"
#include "support/TestList.h"
#include "support/TestSupport.h"
#include "hostile/HostileRandom.h"
#include "hostile/MenuChecks.h"
#include "hostile/MenuGenerators.h"
#include "hostile/MenuReference.h"
#include "hostile/SeededCases.h"

namespace {

constexpr int kCasesPerFlavour = 2000;
// Every case is read and split; some also go through the whole loader or a rewrite,
// which flushes to disk and costs several times a read.
constexpr int kLoadEvery = 10;
constexpr int kRewriteEvery = 5;

// Control characters, the space and the quote: what ends lines, fields and trims.
bool IsSeparator(unsigned c)
{
    return c <= 0x20 || c == 0x22;
}

void RunFlavour(MenuFlavour flavour, uint64_t generator)
{
    TempDir dir;
    const std::wstring path = dir / L"zulmenu.txt";
    TestList list;
    ModuleTable table(list.List());
    ModuleCatalogue catalogue;
    catalogue.FillCatalogue();
    int i = 0, entryLines = 0;
    ForEachSeededCase(generator, kCasesPerFlavour, [&](HostileRandom& rng) {
        const int index = i++;
        const std::string bytes = MakeMenuBytes(rng, flavour);
        WriteFileBytes(path, bytes);
        for (const std::string& line : ReferenceLines(bytes))
            entryLines += ReferenceIsEntry(line) ? 1 : 0;
        std::string problem;
        {
            CiStTextFile file;
            problem = file.ReadLines(path) ? CompareRead(file, bytes) : "the file could not be read";
        }
        if (problem.empty() && index % kLoadEvery == 0) {
            LoadMenuFile(dir.Path(), table, catalogue);
            problem = CompareLoad(table, bytes, dir.Path());
        }
        if (problem.empty() && index % kRewriteEvery == 0)
            problem = CompareRewrite(path, bytes, MakeNewEntries(rng));
        return problem.empty() ? problem : problem + "\n  file: \"" + Quoted(bytes) + "\"";
    });
    EXPECT_GT(entryLines, flavour == MenuFlavour::RandomBytes ? 0 : kCasesPerFlavour)
        << "the generator should make menu entries among its lines";
}

}  // namespace

TEST(HostileMenuFile, RandomBytesReadSplitLoadAndRewriteAsTheRulesSay)
{
    RunFlavour(MenuFlavour::RandomBytes, 1);
}

TEST(HostileMenuFile, QuotesSpacesTabsAndLineBreaksInAnyMix)
{
    RunFlavour(MenuFlavour::QuoteSoup, 2);
}

TEST(HostileMenuFile, InvalidCodePage949NeverMovesAFieldBoundary)
{
    RunFlavour(MenuFlavour::BrokenCp949, 3);
}

TEST(HostileMenuFile, DecodingKeepsEverySeparatorByteInPlace)
{
    // Quotes, spaces, tabs and CR never belong to a double-byte character, so decoding
    // must give each of them back, in order, whatever bytes surround them.
    ForEachSeededCase(4, 20000, [](HostileRandom& rng) {
        std::string bytes;
        for (size_t p = rng.Below(40); p > 0; --p)
            bytes += rng.OneIn(2) ? std::string(1, static_cast<char>(rng.Byte())) : RandomBrokenSequence(rng);
        std::string expected, got;
        for (char c : bytes)
            if (IsSeparator(static_cast<unsigned char>(c)))
                expected += c;
        for (wchar_t c : DecodeCp949(bytes))
            if (IsSeparator(c))
                got += static_cast<char>(c);
        return got == expected ? std::string()
                               : "\"" + Quoted(bytes) + "\" decodes with separators \"" + Quoted(got) +
                                     "\", expected \"" + Quoted(expected) + "\"";
    });
}

TEST(HostileMenuFile, AFileSavedAsUtf8StillSplitsAtEveryQuote)
{
    // An editor that saves the menu file as UTF-8 leaves byte runs that are no code
    // page 949; a three-byte syllable then ends in a stray lead byte right before the
    // closing quote. The names come out garbled, but every line keeps its four fields.
    TempDir dir;
    const std::string menu = "\"\xED\x95\x9C\"\"Menu\"\"CAD\"\"REGULAR\"\r\n"        // "한" as stem
                             "\"Foo\" \"\xEB\xA9\x94\xEB\x89\xB4\xED\x95\x9C\" \"CAD\" \"REGULAR\"\r\n";  // "메뉴한"
    WriteFileBytes(dir / L"zulmenu.txt", menu);
    TestList list;
    ModuleTable table(list.List());
    ModuleCatalogue catalogue;
    catalogue.FillCatalogue();
    LoadMenuFile(dir.Path(), table, catalogue);
    ASSERT_EQ(table.GetCount(), 2) << "both lines are entries";
    EXPECT_EQ(table.GetRow(0).menuName, L"Menu");
    EXPECT_EQ(table.GetRow(1).dllFileName, L"apFoo.dll");
    EXPECT_EQ(table.GetRow(1).menuName.back(), L'\xFFFD') << "the stray lead byte stands alone";
}
