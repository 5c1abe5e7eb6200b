// The menu line functions built natively under AddressSanitizer and UBSan, checked
// against the rules in support/MenuRules.h on random UTF-16 lines (argument: how many).
// Ends in .cc so the Windows build, which takes tests/<area>/*.cpp, leaves it alone.
#include <cstdio>
#include <cstdlib>

#include "core/menu/MenuFormat.h"
#include "support/MenuRules.h"

int main(int argc, char** argv)
{
    const long cases = argc > 1 ? std::atol(argv[1]) : 200000;
    std::mt19937 rng(1412);
    long failures = 0;
    static const wchar_t kUnits[] = {L'"', L' ', L'\t', L'\r', L'\0', L'\xD800', L'\xFFFF', L'\x3000', L'한', L'a'};
    for (long i = 0; i < cases; ++i) {
        std::wstring line;
        for (int n = std::uniform_int_distribution<int>(0, 60)(rng); n > 0; --n)
            line += rng() % 3 ? kUnits[rng() % std::size(kUnits)] : static_cast<wchar_t>(rng() % 0x110000);
        CStringArray fields, pieces;
        const std::vector<std::wstring> expected = RuleFields(line);
        const bool entry = SplitMenuEntry(line, fields);
        bool ok = entry == (expected.size() == 4) && (!entry || std::vector<std::wstring>(fields.begin(), fields.end()) == expected);
        fields.RemoveAll();
        ok = ok && SplitFields(L"\"", L" ", line, fields) == (SplitString(L"\"", line, pieces) > 0) &&
             std::vector<std::wstring>(fields.begin(), fields.end()) == expected;
        // A composed entry splits back into its stem and name when the name holds no quote.
        const std::wstring stem = line.substr(0, line.find_first_of(L"\" ")), name = L"n" + stem + L"m";
        if (!stem.empty() && SplitMenuEntry(ComposeMenuEntry(L"ap" + stem + L".dll", name), fields))
            ok = ok && fields.GetAt(0) == stem && fields.GetAt(1) == name;
        if (!ok && ++failures <= 10)
            std::printf("FAIL case %ld\n", i);
    }
    std::printf("%ld passed, %ld failed\n", cases - failures, failures);
    return failures == 0 ? 0 : 1;
}
