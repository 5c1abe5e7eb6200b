#include "platform/FileReplace.h"

#include <windows.h>

#include <algorithm>

#include "platform/LongPath.h"
#include "platform/TempFile.h"

namespace {

constexpr int kAttempts = 6;
constexpr DWORD kFirstPauseMs = 15;

bool IsTransient(DWORD error)
{
    // Another process (the host, a virus scanner) holding the file for a moment.
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

bool WriteAll(HANDLE file, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

bool MoveIntoPlace(const std::wstring& temp, const std::wstring& target)
{
    // No MOVEFILE_REPLACE_EXISTING: a file that appeared after we looked belongs to
    // someone else and must not be overwritten.
    return MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
}

// A rename over the old file, not ReplaceFileW: Wine's ReplaceFileW moves the old file
// aside and deletes it before the new one is moved in, so a process killed in between
// would leave no file at all. The rename replaces in one step on Windows and Wine alike.
// The old file's attributes go to the new one first, as ReplaceFileW would carry them.
bool ReplaceWhole(const std::wstring& temp, const std::wstring& target)
{
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    SetFileAttributesW(temp.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace

std::wstring WriteTempBeside(const std::wstring& target, std::initializer_list<std::string_view> pieces)
{
    std::wstring temp = TempPathBeside(target);
    HANDLE file =
        CreateFileW(LongPathForm(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    bool ok = true;
    for (std::string_view piece : pieces)
        ok = ok && WriteAll(file, piece);
    ok = ok && FlushFileBuffers(file);
    ok = CloseHandle(file) && ok;
    if (!ok) {
        DeleteFileW(LongPathForm(temp).c_str());
        return {};
    }
    return temp;
}

bool SwapInTemp(const std::wstring& tempPath, const std::wstring& targetPath, bool targetExists)
{
    const std::wstring temp = LongPathForm(tempPath), target = LongPathForm(targetPath);
    DWORD pause = kFirstPauseMs;
    for (int attempt = 1;; ++attempt) {
        bool done = false;
        DWORD error = 0;
        if (targetExists) {
            done = ReplaceWhole(temp, target);
            error = done ? 0 : GetLastError();
            if (error == ERROR_FILE_NOT_FOUND && GetFileAttributesW(temp.c_str()) != INVALID_FILE_ATTRIBUTES) {
                // Someone removed the file since it was read; our content includes it.
                targetExists = false;
                continue;
            }
        } else {
            done = MoveIntoPlace(temp, target);
            error = done ? 0 : GetLastError();
        }
        if (done)
            return true;
        if (!IsTransient(error) || attempt == kAttempts)
            break;
        Sleep(pause);
        pause *= 2;
    }
    DeleteFileW(temp.c_str());
    return false;
}
