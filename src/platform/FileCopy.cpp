#include "platform/FileCopy.h"

#include <windows.h>

#include "platform/LongPath.h"
#include "platform/TempFile.h"

unsigned long CopyFileWhole(const std::wstring& source, const std::wstring& target)
{
    // A plain copy fails on a read-only target; a rename would replace it under Wine.
    const std::wstring to = LongPathForm(target);
    DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return ERROR_FILE_READ_ONLY;

    const std::wstring temp = LongPathForm(TempPathBeside(target));
    DWORD error = ERROR_SUCCESS;
    if (!CopyFileW(LongPathForm(source).c_str(), temp.c_str(), TRUE) ||
        !MoveFileExW(temp.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS) {
        // The copy carries the source's attributes, a read-only one included.
        SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(temp.c_str());
    }
    return error;
}
