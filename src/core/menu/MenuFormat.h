#pragma once
// The menu file's line format: splitting a line into quoted fields, recognising menu
// entries, and composing the entry the tool writes for a deployed module.
#include <optional>
#include <string>
#include <string_view>

#include "core/table/Array.h"

inline constexpr wchar_t kMenuFileName[] = L"zulmenu.txt";
inline constexpr wchar_t kFieldDelimiter[] = L"\"";
inline constexpr wchar_t kFieldTrimSet[] = L" ";
inline constexpr int kMenuEntryFieldCount = 4;

// Splits text at every occurrence of delimiter and stores the non-empty pieces, in
// order, in pieces (emptied first). Returns the number of pieces; an empty delimiter
// splits nothing and gives 0.
int SplitString(const std::wstring& delimiter, const std::wstring& text, CStringArray& pieces);

// Splits text with SplitString, trims every character of trimSet off both ends of each
// piece and appends the pieces still non-empty to fields (not emptied first). False
// only when SplitString found no piece at all.
bool SplitFields(const std::wstring& delimiter, const std::wstring& trimSet, const std::wstring& text,
                 CStringArray& fields);

// Splits a menu-file line into fields (emptied first); true when the line is a menu
// entry, that is when it yields exactly four fields: stem, menu name, kind, mode.
bool SplitMenuEntry(const std::wstring& line, CStringArray& fields);

// The line the tool writes for a module file name "ap" + stem + ".dll" and a menu
// name: "stem" "menu name" "kind" "mode", kind and mode chosen by the stem.
std::wstring ComposeMenuEntry(const std::wstring& moduleName, const std::wstring& menuName);

// The raw bytes of a menu entry line with its menu-name field (the second field)
// replaced by name (already encoded); every other byte stays, the spaces around the
// field included. nullopt when the line has no second field.
std::optional<std::string> WithMenuName(std::string_view line, std::string_view name);

// The DLL file name a menu entry names: "ap" + its first field + ".dll".
std::wstring EntryDllName(const CStringArray& fields);

// The menu file in the add-in folder; empty when the folder is (no host found), so no
// caller ever reaches a menu file at the root of the current drive.
std::wstring MenuFilePath(const std::wstring& addInFolder);
