// The window-free menu line functions (SplitString, SplitFields, SplitMenuEntry,
// ComposeMenuEntry) built natively under AddressSanitizer and UndefinedBehaviour-
// Sanitizer and driven by the same seeded generators as the Windows tests, against
// the reference worked out from the rules. Prints the seed of every failure.
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <string>
#include <vector>

#include "menu/MenuFormat.h"
#include "hostile/HostileRandom.h"
#include "hostile/MenuGenerators.h"
#include "hostile/MenuReference.h"

namespace {

int failures = 0;

void Fail(uint64_t seed, const char* what)
{
    ++failures;
    if (failures <= 10)
        std::printf("FAIL %s: %s\n", SeedText(seed).c_str(), what);
}

// Any UTF-16 unit or beyond: controls, NUL, the quote and space, lone surrogates,
// noncharacters, and (with a 32-bit wchar_t) code points past the BMP.
wchar_t RandomCharacter(HostileRandom& rng)
{
    static constexpr wchar_t kPicked[] = {L'"', L' ', L'\t', L'\r', L'\n', L'\0', L'\xD800', L'\xDFFF',
                                          L'\xFFFF', L'\xFFFD', L'\x3000', L'a', L'Z'};
    if (rng.OneIn(2))
        return rng.Pick(kPicked);
    return static_cast<wchar_t>(rng.Below(rng.OneIn(8) ? 0x110000 : 0x10000));
}

std::wstring RandomLine(HostileRandom& rng)
{
    std::wstring line;
    const size_t pieces = rng.Below(30);
    for (size_t p = 0; p < pieces; ++p) {
        switch (rng.Below(4)) {
        case 0: line += RandomEntryLine(rng).wide; break;
        case 1: line += RandomMenuText(rng).wide; break;
        default: line += RandomCharacter(rng); break;
        }
    }
    return line;
}

// Pieces of text between non-overlapping occurrences of delimiter, found from the
// left, without the empty ones.
std::vector<std::wstring> ReferenceSplit(const std::wstring& delimiter, const std::wstring& text)
{
    std::vector<std::wstring> pieces;
    std::wstring piece;
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, delimiter.size(), delimiter) == 0) {
            if (!piece.empty())
                pieces.push_back(piece);
            piece.clear();
            i += delimiter.size();
        } else {
            piece += text[i++];
        }
    }
    if (!piece.empty())
        pieces.push_back(piece);
    return pieces;
}

std::vector<std::wstring> Items(const CStringArray& array)
{
    return {array.begin(), array.end()};
}

void CheckSplitting(uint64_t seed)
{
    HostileRandom rng(seed);
    const std::wstring line = RandomLine(rng);

    CStringArray fields;
    fields.Add(L"left over");
    const bool entry = SplitMenuEntry(line, fields);
    const std::vector<std::wstring> expected = ReferenceFields(line);
    if (entry != (expected.size() == 4) || Items(fields) != expected)
        Fail(seed, "menu line fields");

    static const std::wstring kDelimiters[] = {L"\"", L" ", L"ab", L"aa", L"\"\"", L"\" \"", std::wstring(1, L'\0')};
    const std::wstring& delimiter = rng.Pick(kDelimiters);
    CStringArray pieces;
    pieces.Add(L"left over");
    const int count = SplitString(delimiter, line, pieces);
    const std::vector<std::wstring> want = ReferenceSplit(delimiter, line);
    if (count != static_cast<int>(want.size()) || Items(pieces) != want)
        Fail(seed, "SplitString pieces");
    if (SplitString(L"", line, pieces) != 0 || !pieces.IsEmpty())
        Fail(seed, "SplitString with an empty delimiter");

    // Trimming any set: fields are the pieces without those characters at either end.
    const std::wstring trimSet = rng.OneIn(2) ? L" \t" : std::wstring(1, RandomCharacter(rng));
    CStringArray trimmed;
    trimmed.Add(L"kept");
    const bool any = SplitFields(delimiter, trimSet, line, trimmed);
    std::vector<std::wstring> wantTrimmed{L"kept"};
    for (const std::wstring& piece : want) {
        const size_t first = piece.find_first_not_of(trimSet);
        if (first != std::wstring::npos)
            wantTrimmed.push_back(piece.substr(first, piece.find_last_not_of(trimSet) - first + 1));
    }
    if (any != !want.empty() || Items(trimmed) != wantTrimmed)
        Fail(seed, "SplitFields");
}

void CheckComposing(uint64_t seed)
{
    HostileRandom rng(seed);
    static constexpr const wchar_t* kStarts[] = {L"Inter", L"INTER", L"inter", L"Int", L"Cam", L"CAM", L"cam",
                                                 L"Ca", L"", L"InterCam", L"CamInter", L"I"};
    std::wstring stem = rng.Pick(kStarts) + (rng.OneIn(2) ? RandomWord(rng).wide : std::wstring());
    const std::wstring moduleName = L"ap" + stem + L".dll";
    const std::wstring menuName = rng.OneIn(3) ? RandomMenuText(rng).wide : RandomWord(rng).wide;
    const std::wstring line = ComposeMenuEntry(moduleName, menuName);

    auto startsNoCase = [&](const std::wstring& prefix) {
        if (stem.size() < prefix.size())
            return false;
        for (size_t i = 0; i < prefix.size(); ++i)
            if (std::towlower(static_cast<wint_t>(stem[i])) != static_cast<wint_t>(prefix[i]))
                return false;
        return true;
    };
    const wchar_t* kind = L"CAD";
    const wchar_t* mode = L"REGULAR";
    if (startsNoCase(L"inter"))
        mode = L"INTERRUPT";
    else if (startsNoCase(L"cam"))
        kind = L"CAM";
    const std::wstring expected =
        L"\"" + stem + L"\" \"" + menuName + L"\" \"" + kind + L"\" \"" + mode + L"\"";
    if (line != expected)
        Fail(seed, "composed line");

    // Read back: whenever stem and menu name hold no quote and no space at either end.
    const bool plain = !stem.empty() && !menuName.empty() && stem.find(L'"') == std::wstring::npos &&
                       menuName.find(L'"') == std::wstring::npos && menuName.front() != L' ' &&
                       menuName.back() != L' ';
    CStringArray fields;
    if (plain && (!SplitMenuEntry(line, fields) || Items(fields) != std::vector<std::wstring>{stem, menuName, kind, mode}))
        Fail(seed, "composed line read back");

    // Names of six characters or fewer have an empty stem whatever they hold.
    const std::wstring shortName = RandomWord(rng, 6).wide;
    if (ComposeMenuEntry(shortName, L"m") != L"\"\" \"m\" \"CAD\" \"REGULAR\"")
        Fail(seed, "short module name");
}

}  // namespace

int main(int argc, char** argv)
{
    const int cases = argc > 1 ? std::atoi(argv[1]) : 200000;
    for (int i = 0; i < cases; ++i) {
        CheckSplitting(CaseSeed(30, static_cast<uint64_t>(i)));
        CheckComposing(CaseSeed(31, static_cast<uint64_t>(i)));
    }
    std::printf("%d cases of splitting and %d of composing, %d failures\n", cases, cases, failures);
    return failures == 0 ? 0 : 1;
}
