#include "core/menu/MenuFormat.h"

#include "core/table/CiStCStringArray.h"
#include "core/table/ModuleName.h"

namespace {

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

int SplitString(const std::wstring& delimiter, const std::wstring& text, CStringArray& pieces)
{
    pieces.RemoveAll();
    if (delimiter.empty())
        return 0;
    size_t p = 0;
    for (size_t a = text.find(delimiter); a != std::wstring::npos; a = text.find(delimiter, p)) {
        if (p < a)
            pieces.Add(text.substr(p, a - p));
        p = a + delimiter.size();
    }
    if (p < text.size())
        pieces.Add(text.substr(p));
    return pieces.GetSize();
}

bool SplitFields(const std::wstring& delimiter, const std::wstring& trimSet, const std::wstring& text,
                 CStringArray& fields)
{
    CStringArray pieces;
    if (SplitString(delimiter, text, pieces) == 0)
        return false;
    for (const std::wstring& piece : pieces) {
        size_t first = piece.find_first_not_of(trimSet);
        if (first == std::wstring::npos)
            continue;
        size_t last = piece.find_last_not_of(trimSet);
        fields.Add(piece.substr(first, last - first + 1));
    }
    return true;
}

bool SplitMenuEntry(const std::wstring& line, CStringArray& fields)
{
    fields.RemoveAll();
    return SplitFields(kFieldDelimiter, kFieldTrimSet, line, fields) && fields.GetSize() == kMenuEntryFieldCount;
}

std::wstring ComposeMenuEntry(const std::wstring& moduleName, const std::wstring& menuName)
{
    const std::wstring stem = ModuleStem(moduleName);
    const wchar_t* keywords = L"\"CAD\" \"REGULAR\"";
    if (StartsWithNoCase(stem, L"Inter"))
        keywords = L"\"CAD\" \"INTERRUPT\"";
    else if (StartsWithNoCase(stem, L"Cam"))
        keywords = L"\"CAM\" \"REGULAR\"";
    return L"\"" + stem + L"\" \"" + menuName + L"\" " + keywords;
}

std::optional<std::string> WithMenuName(std::string_view line, std::string_view name)
{
    // Quotes and spaces are never part of a double-byte character in code page 949, so
    // the fields can be found in the bytes as they are in the text.
    int field = 0;
    for (size_t start = 0; start <= line.size();) {
        size_t end = line.find('"', start);
        if (end == std::string_view::npos)
            end = line.size();
        const size_t first = line.find_first_not_of(' ', start);
        if (first != std::string_view::npos && first < end && ++field == 2) {
            const size_t last = line.find_last_not_of(' ', end - 1);
            return std::string(line.substr(0, first)) + std::string(name) + std::string(line.substr(last + 1));
        }
        start = end + 1;
    }
    return std::nullopt;
}

std::wstring EntryDllName(const CStringArray& fields)
{
    return kModulePrefix + fields.GetAt(0) + L".dll";
}

std::wstring MenuFilePath(const std::wstring& addInFolder)
{
    return addInFolder.empty() ? std::wstring() : addInFolder + L"\\" + kMenuFileName;
}
