#include "modules/CiStFileInformation.h"

#include <windows.h>

#include <cwchar>

namespace {

// Keys in field order; queried under the one fixed string table "041204b0".
constexpr const wchar_t* kKeys[] = {L"CompanyName",      L"FileDescription", L"FileVersion", L"InternalName",
                                    L"LegalCopyright",   L"OriginalFilename", L"ProductName", L"ProductVersion"};
constexpr wchar_t kStringTable[] = L"\\StringFileInfo\\041204b0\\";

}  // namespace

CiStFileInformation::CiStFileInformation(const std::wstring& path)
{
    status_ = ReadVersionStrings(path) != 0;
}

int CiStFileInformation::ReadVersionStrings(const std::wstring& path)
{
    std::wstring* const fields[] = {&CompanyName,      &FileDescription, &FileVersion, &InternalName,
                                    &LegalCopyright,   &OriginalFilename, &ProductName, &ProductVersion};
    for (std::wstring* field : fields)
        field->clear();
    path_ = path;

    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0)
        return 0;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory)
        return 0;
    void* block = GlobalLock(memory);
    int status = block && GetFileVersionInfoW(path.c_str(), handle, size, block) ? 1 : 0;
    if (status) {
        const auto* blockStart = static_cast<const BYTE*>(block);
        const auto* blockEnd = blockStart + size;
        for (size_t i = 0; i < std::size(kKeys); ++i) {
            wchar_t* text = nullptr;
            UINT length = 0;
            std::wstring query = std::wstring(kStringTable) + kKeys[i];
            bool found = VerQueryValueW(block, query.c_str(), reinterpret_cast<void**>(&text), &length);
            const auto* at = reinterpret_cast<const BYTE*>(text);
            if (found && at >= blockStart && at < blockEnd) {
                // Copy up to the terminator, but never past the block: a damaged
                // resource may lack one, or claim lengths that lead out of it.
                size_t room = static_cast<size_t>(blockEnd - at) / sizeof(wchar_t);
                fields[i]->assign(text, wcsnlen(text, room));
            } else {
                status = 0;
            }
        }
    }
    GlobalUnlock(memory);
    GlobalFree(memory);
    return status;
}
