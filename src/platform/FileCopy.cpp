#include "platform/FileCopy.h"

#include <windows.h>

#include "platform/TempFile.h"

namespace {

// The data must be on disk before the rename makes it the target.
DWORD FlushToDisk(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD error = FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    return error;
}

void DiscardTemp(const std::wstring& temp)
{
    SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temp.c_str());
}

}  // namespace

unsigned long CopyFileWhole(const std::wstring& source, const std::wstring& target)
{
    // A plain copy fails on a read-only target; a rename would replace it under Wine.
    DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return kErrorTargetReadOnly;

    const std::wstring temp = TempPathBeside(target);
    if (!CopyFileW(source.c_str(), temp.c_str(), TRUE)) {
        DWORD error = GetLastError();
        DiscardTemp(temp);
        return error;
    }
    // The copy carries the source's attributes, as a plain copy would; a read-only one
    // is lifted only while the data is flushed.
    const DWORD copied = GetFileAttributesW(temp.c_str());
    const bool readOnly = copied != INVALID_FILE_ATTRIBUTES && (copied & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly)
        SetFileAttributesW(temp.c_str(), copied & ~FILE_ATTRIBUTE_READONLY);
    DWORD error = FlushToDisk(temp);
    if (readOnly)
        SetFileAttributesW(temp.c_str(), copied);
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS)
        DiscardTemp(temp);
    return error;
}
