#pragma once
// Checks of the tool's menu-file reading, loading and rewriting against the reference
// rules (MenuReference.h). Each Compare returns an empty string when all is as
// expected, else what differs, for a failure message that also names the case's seed.
#include <cstdio>
#include <string>
#include <vector>

#include "app/ModuleTable.h"
#include "menu/CiStTextFile.h"
#include "menu/CodePage949.h"
#include "menu/MenuFormat.h"
#include "support/TestSupport.h"
#include "hostile/HostileRandom.h"
#include "hostile/MenuGenerators.h"
#include "hostile/MenuReference.h"

// New entries for a rewrite with their expected bytes; now and then one holds a
// character code page 949 lacks (unencodable is then its index).
struct NewEntries {
    std::vector<std::wstring> wide;
    std::vector<std::string> bytes;
    int unencodable = -1;
};

// Bytes made printable for a message: "\xNN" for anything else, cut after a while.
inline std::string Quoted(const std::string& bytes)
{
    constexpr size_t kShown = 300;
    std::string out;
    for (unsigned char c : bytes.substr(0, kShown)) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    if (bytes.size() > kShown)
        out += "...(" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

// The fields of a raw line as the rules give them, each decoded from code page 949.
inline std::vector<std::wstring> DecodedFields(const std::string& rawLine)
{
    std::vector<std::wstring> fields;
    for (const std::string& piece : ReferenceFields(rawLine))
        fields.push_back(DecodeCp949(piece));
    return fields;
}

// Lines read from a file holding bytes: their raw bytes, their fields, entry or not.
inline std::string CompareRead(const CiStTextFile& file, const std::string& bytes)
{
    const std::vector<std::string> expected = ReferenceLines(bytes);
    const CStringArray& lines = file.GetLines();
    if (lines.GetSize() != static_cast<int>(expected.size()))
        return "read " + std::to_string(lines.GetSize()) + " lines, expected " + std::to_string(expected.size());
    CStringArray fields;
    for (size_t i = 0; i < expected.size(); ++i) {
        const int at = static_cast<int>(i);
        if (file.GetRawLine(at) != expected[i])
            return "line " + std::to_string(i) + " read as \"" + Quoted(std::string(file.GetRawLine(at))) +
                   "\", expected \"" + Quoted(expected[i]) + "\"";
        const std::vector<std::wstring> want = DecodedFields(expected[i]);
        const bool entry = SplitMenuEntry(lines[at], fields);
        const std::vector<std::wstring> got(fields.begin(), fields.end());
        if (entry != (want.size() == 4) || got != want)
            return "line " + std::to_string(i) + " \"" + Quoted(expected[i]) + "\" split into " +
                   std::to_string(got.size()) + " fields, expected " + std::to_string(want.size());
    }
    return {};
}

// The table loaded from a file holding bytes in folder: one row per entry line, in
// order, as loading makes it (no module file is installed in folder).
inline std::string CompareLoad(const ModuleTable& table, const std::string& bytes, const std::wstring& folder)
{
    std::vector<std::vector<std::wstring>> entries;
    for (const std::string& line : ReferenceLines(bytes))
        if (ReferenceIsEntry(line))
            entries.push_back(DecodedFields(line));
    if (table.GetCount() != static_cast<int>(entries.size()))
        return "loaded " + std::to_string(table.GetCount()) + " rows, expected " + std::to_string(entries.size());
    for (size_t r = 0; r < entries.size(); ++r) {
        const ModuleRow row = table.GetRow(static_cast<int>(r));
        const std::wstring dll = L"ap" + entries[r][0] + L".dll";
        if (row.dllFileName != dll || row.menuName != entries[r][1] || row.sourcePath != folder + L"\\" + dll ||
            !row.status.empty() || row.moduleName != L"ap")
            return "row " + std::to_string(r) + " differs: " + Utf8(row.dllFileName) + " / " + Utf8(row.menuName);
    }
    return {};
}

inline NewEntries MakeNewEntries(HostileRandom& rng)
{
    NewEntries entries;
    const size_t count = rng.Below(4);
    for (size_t i = 0; i < count; ++i) {
        DualText text = rng.OneIn(2) ? RandomEntryLine(rng) : RandomMenuText(rng);
        if (entries.unencodable < 0 && rng.OneIn(25)) {
            text.wide.insert(rng.Below(text.wide.size() + 1), 1, L'\x0E01');
            entries.unencodable = static_cast<int>(i);
        }
        entries.wide.push_back(text.wide);
        entries.bytes.push_back(text.bytes);
    }
    return entries;
}

// A rewrite of the file at path, which holds bytes: exactly the expected bytes, or for
// an unencodable entry a refusal that leaves the file untouched.
inline std::string CompareRewrite(const std::wstring& path, const std::string& bytes, const NewEntries& entries)
{
    CiStTextFile file;
    if (!file.ReadLinesForRewrite(path))
        return "the file could not be taken for a rewrite";
    const RewriteResult result = file.WriteRewrite(entries.wide);
    file.Close();
    const std::string written = ReadFileBytes(path);
    if (entries.unencodable >= 0) {
        if (result.ok || result.badEntry != entries.unencodable)
            return "an entry with a character code page 949 lacks was not refused";
        return written == bytes ? std::string() : "a refused rewrite changed the file";
    }
    if (!result.ok)
        return "the rewrite failed";
    const std::string expected = ReferenceRewrite(bytes, entries.bytes);
    if (written != expected)
        return "rewrite gave \"" + Quoted(written) + "\", expected \"" + Quoted(expected) + "\"";
    return {};
}

