#pragma once
// The menu file's rules as a reader would state them, a character at a time, sharing no
// code with the program, and random text made to break them. For bytes and UTF-16 alike:
// - lines end at LF; a CR right before it belongs to the break, any other CR is text;
//   a last line without a break is a line, a last break adds no empty line;
// - fields: split at every double quote, spaces off both ends, empty pieces dropped;
//   a line is a menu entry when exactly four fields remain;
// - a rewrite writes every old line, then every new entry, each followed by CR LF.
#include <random>
#include <string>
#include <vector>

template <typename Text>
std::vector<Text> RuleLines(const Text& text)
{
    std::vector<Text> lines(1);
    for (auto c : text) {
        if (c != '\n') {
            lines.back().push_back(c);
            continue;
        }
        if (!lines.back().empty() && lines.back().back() == '\r')
            lines.back().pop_back();
        lines.emplace_back();
    }
    if (lines.back().empty())
        lines.pop_back();  // nothing after the last break (a line may still be empty before it)
    return lines;
}

template <typename Text>
std::vector<Text> RuleFields(const Text& line)
{
    std::vector<Text> fields;
    Text piece;
    auto endPiece = [&] {
        const size_t begin = piece.find_first_not_of(' '), end = piece.find_last_not_of(' ');
        if (begin != Text::npos)
            fields.push_back(piece.substr(begin, end - begin + 1));
        piece.clear();
    };
    for (auto c : line)
        c == '"' ? endPiece() : piece.push_back(c);
    endPiece();
    return fields;
}

inline std::string RuleRewrite(const std::string& old, const std::vector<std::string>& entries)
{
    std::string out;
    for (const std::string& line : RuleLines(old))
        out += line + "\r\n";
    for (const std::string& entry : entries)
        out += entry + "\r\n";
    return out;
}

// Menu-file bytes of up to `pieces` pieces: separators, Hangul in code page 949, stray
// lead bytes and invalid bytes, and whole menu entries.
inline std::string RandomMenuBytes(std::mt19937& rng, int pieces)
{
    static const char* const kPieces[] = {
        "\"", " ", "\t", "\r", "\n", "\r\n", "a", "Zz9", "\xC7\xD1\xB1\xDB", "\x81\x41", "\xC7", "\xC7\"", "\x80",
        "\xFF ", "\"DraftAssist\" \"\xB5\xB5\xB8\xE9\" \"CAD\" \"REGULAR\"\r\n", "\"Cam\" \"x\" \"CAM\" \"REGULAR\"\n",
    };
    std::string bytes;
    for (int n = std::uniform_int_distribution<int>(0, pieces)(rng); n > 0; --n)
        bytes += kPieces[std::uniform_int_distribution<size_t>(0, std::size(kPieces) - 1)(rng)];
    return bytes;
}
