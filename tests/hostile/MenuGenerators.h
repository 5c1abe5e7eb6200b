#pragma once
// Generators of hostile menu-file content and of menu text, driven by HostileRandom.
// Text made of known characters is built as UTF-16 and as code page 949 bytes side by
// side, so its encoding is known without asking the code under test.
#include <string>

#include "HostileRandom.h"

struct KnownCharacter {
    wchar_t wide;
    const char* bytes;
};

// Hangul from both halves of code page 949 (KS X 1001 and the extension, whose trail
// bytes start at 0x41), a full-width space (not trimmed), and a sign from row 0xA2.
inline constexpr KnownCharacter kKnownCharacters[] = {
    {L'\xAC00', "\xB0\xA1"}, {L'\xD55C', "\xC7\xD1"}, {L'\xAE00', "\xB1\xDB"}, {L'\xBA54', "\xB8\xDE"},
    {L'\xB274', "\xB4\xBA"}, {L'\xAC02', "\x81\x41"}, {L'\xB620', "\x8C\x63"}, {L'\x3000', "\xA1\xA1"},
    {L'\x20AC', "\xA2\xE6"}, {L'\x3131', "\xA4\xA1"},
};

// Text with its code page 949 bytes.
struct DualText {
    std::wstring wide;
    std::string bytes;

    void Ascii(const std::string& s)
    {
        for (char c : s)
            wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
        bytes += s;
    }
    void Known(const KnownCharacter& k) { Append({std::wstring(1, k.wide), k.bytes}); }
    void Append(const DualText& other)
    {
        wide += other.wide;
        bytes += other.bytes;
    }
};

inline constexpr char kWordLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_.-";

// A word of letters and known Hangul, 1 to maxLength characters.
inline DualText RandomWord(HostileRandom& rng, size_t maxLength = 12)
{
    DualText word;
    size_t length = rng.Between(1, maxLength);
    for (size_t i = 0; i < length; ++i) {
        if (rng.OneIn(4))
            word.Known(rng.Pick(kKnownCharacters));
        else
            word.Ascii(std::string(1, kWordLetters[rng.Below(sizeof kWordLetters - 1)]));
    }
    return word;
}

// Printable text that may hold quotes, spaces and tabs, as a user might type anything.
inline DualText RandomMenuText(HostileRandom& rng, size_t maxPieces = 6)
{
    static constexpr const char* kOdd[] = {"\"", " ", "  ", "\t", "'", "\\", "%s", "%n"};
    DualText text;
    size_t pieces = rng.Between(0, maxPieces);
    for (size_t i = 0; i < pieces; ++i) {
        if (rng.OneIn(3))
            text.Ascii(rng.Pick(kOdd));
        else
            text.Append(RandomWord(rng));
    }
    return text;
}

// A quoted four-field line in the form the tool writes, with random spacing around it.
inline DualText RandomEntryLine(HostileRandom& rng)
{
    static constexpr const char* kGaps[] = {"", " ", "  ", "\t"};
    DualText line;
    for (int f = 0; f < 4; ++f) {
        line.Ascii(rng.OneIn(8) ? rng.Pick(kGaps) : (f ? " " : ""));
        line.Ascii("\"");
        if (rng.OneIn(6))
            line.Ascii(" ");
        line.Append(RandomWord(rng));
        if (rng.OneIn(6))
            line.Ascii(" ");
        if (!rng.OneIn(10) || f < 3)
            line.Ascii("\"");
    }
    return line;
}

// Bytes no code page 949 text holds: a lead byte followed by something that cannot
// trail it (or by nothing), and the two bytes that lead nothing.
inline std::string RandomBrokenSequence(HostileRandom& rng)
{
    static constexpr char kBadTrails[] = {'"', ' ', '\t', '\r', '\n', '\0', '0', '[', '`', '{', '\x80', '\xFF'};
    switch (rng.Below(4)) {
    case 0:
        return "\x80";
    case 1:
        return "\xFF";
    default: {
        std::string s(1, static_cast<char>(rng.Between(0x81, 0xFE)));
        if (!rng.OneIn(5))
            s += rng.Pick(kBadTrails);
        return s;
    }
    }
}

enum class MenuFlavour { RandomBytes, QuoteSoup, BrokenCp949 };

// A whole menu file: random bytes (biased towards the characters that matter), or a
// soup of quotes, spaces, tabs, CR, LF, words and entries, or that soup laced with
// invalid code page 949.
inline std::string MakeMenuBytes(HostileRandom& rng, MenuFlavour flavour)
{
    std::string out;
    if (flavour == MenuFlavour::RandomBytes) {
        static constexpr char kSpecial[] = {'"', ' ', '\r', '\n', '\t'};
        size_t length = rng.Below(600);
        for (size_t i = 0; i < length; ++i)
            out += rng.OneIn(3) ? rng.Pick(kSpecial) : static_cast<char>(rng.Byte());
        return out;
    }
    static constexpr const char* kPunctuation[] = {"\"", "\"\"", " ", "   ", "\t", "\r", "\n", "\r\n", "\r\r\n", "\n\n"};
    size_t tokens = rng.Below(60);
    for (size_t i = 0; i < tokens; ++i) {
        size_t kind = rng.Below(flavour == MenuFlavour::BrokenCp949 ? 10 : 8);
        if (kind < 3)
            out += rng.Pick(kPunctuation);
        else if (kind < 5)
            out += RandomWord(rng).bytes;
        else if (kind < 7)
            out += RandomEntryLine(rng).bytes + (rng.OneIn(4) ? "\n" : "\r\n");
        else if (kind < 8)
            out += rng.Pick(kKnownCharacters).bytes;
        else
            out += RandomBrokenSequence(rng);
    }
    return out;
}
