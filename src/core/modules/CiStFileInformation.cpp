#include "core/modules/CiStFileInformation.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <cwctype>

#include "platform/LongPath.h"
#include "platform/SystemLibrary.h"

namespace {

// Keys in field order; queried under the one fixed string table "041204b0".
constexpr const wchar_t* kKeys[] = {L"CompanyName",      L"FileDescription", L"FileVersion", L"InternalName",
                                    L"LegalCopyright",   L"OriginalFilename", L"ProductName", L"ProductVersion"};
constexpr wchar_t kStringTable[] = L"\\StringFileInfo\\041204b0\\";

size_t ReadWord(const BYTE* at)
{
    return at[0] | static_cast<size_t>(at[1]) << 8;
}

// The end of the String block that holds the value VerQueryValueW found at value for
// key: the block starts on a 32-bit boundary with three WORDs (its length first) and
// the NUL-terminated key, padded to a 32-bit boundary, then the value. dataEnd when
// the bytes before value are not such a header.
const BYTE* StringBlockEnd(const BYTE* blockStart, const BYTE* dataEnd, const BYTE* value, const wchar_t* key)
{
    const size_t keyLength = wcslen(key);
    const size_t headerAndKey = (6 + (keyLength + 1) * sizeof(wchar_t) + 3) & ~size_t{3};
    if (static_cast<size_t>(value - blockStart) < headerAndKey)
        return dataEnd;
    const BYTE* start = value - headerAndKey;
    if ((start - blockStart) % 4 != 0)
        return dataEnd;
    for (size_t c = 0; c <= keyLength; ++c) {
        const size_t ch = ReadWord(start + 6 + c * sizeof(wchar_t));
        if (c == keyLength ? ch != 0 : towlower(static_cast<wint_t>(ch)) != towlower(static_cast<wint_t>(key[c])))
            return dataEnd;
    }
    return std::min(start + ReadWord(start), dataEnd);
}

}  // namespace

CiStFileInformation::CiStFileInformation(const std::wstring& path)
{
    status_ = ReadVersionStrings(path) != 0;
}

int CiStFileInformation::ReadVersionStrings(const std::wstring& path)
{
    VersionStrings& s = strings_;
    std::wstring* const fields[] = {&s.CompanyName,    &s.FileDescription,  &s.FileVersion, &s.InternalName,
                                    &s.LegalCopyright, &s.OriginalFilename, &s.ProductName, &s.ProductVersion};
    for (std::wstring* field : fields)
        field->clear();
    path_ = path;

    const VersionFunctions* version = SystemVersionFunctions();
    if (!version)
        return 0;
    const std::wstring file = LongPathForm(path);
    DWORD handle = 0;
    DWORD size = version->getFileVersionInfoSize(file.c_str(), &handle);
    if (size == 0)
        return 0;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory)
        return 0;
    void* block = GlobalLock(memory);
    // The block is larger than the resource. Filled with a pattern that holds no NUL, its
    // rest neither gives a text cut off by the end of a damaged resource a terminator,
    // nor shows what the memory held before.
    if (block)
        memset(block, 0xFF, size);
    int status = block && version->getFileVersionInfo(file.c_str(), handle, size, block) ? 1 : 0;
    if (status) {
        const auto* blockStart = static_cast<const BYTE*>(block);
        const BYTE* dataEnd = blockStart + (size >= 2 ? std::min<size_t>(size, ReadWord(blockStart)) : 0);
        for (size_t i = 0; i < std::size(kKeys); ++i) {
            wchar_t* text = nullptr;
            UINT length = 0;
            std::wstring query = std::wstring(kStringTable) + kKeys[i];
            bool found = version->verQueryValue(block, query.c_str(), reinterpret_cast<void**>(&text), &length);
            const auto* at = reinterpret_cast<const BYTE*>(text);
            if (found && at >= blockStart && at < dataEnd) {
                // The text must end with its NUL inside its own block: a damaged
                // resource may lack the NUL, and the text would run on into the blocks
                // that follow, or claim lengths that lead out of the data.
                const BYTE* end = StringBlockEnd(blockStart, dataEnd, at, kKeys[i]);
                const size_t room = end > at ? static_cast<size_t>(end - at) / sizeof(wchar_t) : 0;
                const size_t n = wcsnlen(text, room);
                if (n < room)
                    fields[i]->assign(text, n);
                else
                    status = 0;
            } else {
                status = 0;
            }
        }
    }
    GlobalUnlock(memory);
    GlobalFree(memory);
    return status;
}
