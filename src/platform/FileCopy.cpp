#include "platform/FileCopy.h"

#include <windows.h>

#include "platform/LongPath.h"
#include "platform/TempFile.h"

namespace {

void DeleteTemp(const std::wstring& temp)
{
    // The copy carries the source's attributes, a read-only one included.
    SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temp.c_str());
}

bool Flush(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool flushed = FlushFileBuffers(file) != FALSE;
    return CloseHandle(file) && flushed;
}

}  // namespace

unsigned long CopyToTempBeside(const std::wstring& source, const std::wstring& target, std::wstring& temp)
{
    const std::wstring path = LongPathForm(TempPathBeside(target));
    SetLastError(ERROR_SUCCESS);
    if (CopyFileW(LongPathForm(source).c_str(), path.c_str(), TRUE) && SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL) &&
        Flush(path)) {
        temp = path;
        return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    DeleteTemp(path);
    return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
}

unsigned long MoveThrough(const std::wstring& from, const std::wstring& to, bool replace)
{
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    return MoveFileExW(LongPathForm(from).c_str(), LongPathForm(to).c_str(), flags) ? ERROR_SUCCESS : GetLastError();
}

bool IsReadOnlyFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(LongPathForm(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}
