#pragma once
// What reading, splitting and rewriting a menu file must give, worked out here a
// character at a time from the rules as a reader would state them, so that the tests
// compare the tool against something that shares none of its code:
// - lines end at LF; a CR right before the LF belongs to the break, any other CR is
//   text; a final line without a break is a line, a final break adds no empty line;
// - fields: split at every double quote, take the spaces off both ends of each piece,
//   drop what is left empty; a line is a menu entry when exactly four fields remain;
// - a rewrite writes every old line followed by CR LF, then every new entry with CR LF.
// Works on bytes (std::string) and on UTF-16 text (std::wstring) alike.
#include <string>
#include <vector>

inline std::vector<std::string> ReferenceLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::string current;
    bool open = false;  // characters seen since the last line break
    for (char c : bytes) {
        if (c == '\n') {
            if (!current.empty() && current.back() == '\r')
                current.pop_back();
            lines.push_back(current);
            current.clear();
            open = false;
        } else {
            current.push_back(c);
            open = true;
        }
    }
    if (open)
        lines.push_back(current);
    return lines;
}

template <typename Text>
std::vector<Text> ReferenceFields(const Text& line)
{
    std::vector<Text> fields;
    Text piece;
    auto endPiece = [&] {
        size_t begin = 0, end = piece.size();
        while (begin < end && piece[begin] == ' ')
            ++begin;
        while (end > begin && piece[end - 1] == ' ')
            --end;
        if (end > begin)
            fields.push_back(piece.substr(begin, end - begin));
        piece.clear();
    };
    for (auto c : line) {
        if (c == '"')
            endPiece();
        else
            piece.push_back(c);
    }
    endPiece();
    return fields;
}

template <typename Text>
bool ReferenceIsEntry(const Text& line)
{
    return ReferenceFields(line).size() == 4;
}

inline std::string ReferenceRewrite(const std::string& oldBytes, const std::vector<std::string>& newEntryBytes)
{
    std::string out;
    for (const std::string& line : ReferenceLines(oldBytes))
        out += line + "\r\n";
    for (const std::string& entry : newEntryBytes)
        out += entry + "\r\n";
    return out;
}
