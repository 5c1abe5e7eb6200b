#include "platform/Paths.h"

#include <windows.h>

#include <algorithm>

#include "platform/LongPath.h"

std::wstring FolderOf(const std::wstring& path)
{
    size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) {
        // "C:apFoo.dll" names a file in the drive's current folder.
        return path.size() >= 2 && path[1] == L':' ? path.substr(0, 2) : std::wstring();
    }
    // A root keeps its backslash: "\", "C:\", "\\?\C:\".
    const bool rootSlash =
        slash == 0 || (slash >= 2 && path[slash - 1] == L':' && (slash == 2 || path.compare(0, 4, L"\\\\?\\") == 0));
    return path.substr(0, rootSlash ? slash + 1 : slash);
}

std::wstring FileNameOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FullPathOf(const std::wstring& path)
{
    if (path.empty())
        return {};
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return {};
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size())
        return {};
    full.resize(n);
    return full;
}

std::wstring WithoutTrailingBackslashes(std::wstring path)
{
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    return path;
}

bool PathExists(const std::wstring& path)
{
    std::wstring normal = path;
    std::replace(normal.begin(), normal.end(), L'/', L'\\');
    normal = WithoutTrailingBackslashes(normal);
    if (normal.empty())
        return false;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(LongPathForm(normal).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return true;
}

bool IsFolder(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(LongPathForm(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void CreateFolderChain(std::wstring path)
{
    if (path.empty())
        return;
    std::replace(path.begin(), path.end(), L'\\', L'/');
    std::wstring prefix;
    size_t start = 0;
    for (;;) {
        size_t slash = path.find(L'/', start);
        std::wstring piece = path.substr(start, slash == std::wstring::npos ? std::wstring::npos : slash - start);
        if (piece.find(L'.') == std::wstring::npos)
            CreateDirectoryW(LongPathForm(prefix + piece).c_str(), nullptr);
        if (slash == std::wstring::npos)
            return;
        prefix += piece + L"/";
        start = slash + 1;
    }
}

namespace {

std::vector<std::wstring> ListFolder(const std::wstring& folder, bool folders)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(LongPathForm(folder + L"\\*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L".." && ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folders)
            names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

}  // namespace

std::vector<std::wstring> ListFolderFiles(const std::wstring& folder)
{
    return ListFolder(folder, false);
}

std::vector<std::wstring> ListSubfolders(const std::wstring& folder)
{
    return ListFolder(folder, true);
}

bool DeleteFileAt(const std::wstring& path)
{
    const std::wstring at = LongPathForm(path);
    SetFileAttributesW(at.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(at.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool RemoveFolderWithFiles(const std::wstring& folder)
{
    for (const std::wstring& name : ListFolderFiles(folder))
        DeleteFileAt(folder + L"\\" + name);
    return RemoveDirectoryW(LongPathForm(folder).c_str()) || !PathExists(folder);
}

std::wstring GetProgramFolder()
{
    // Grow the buffer until the whole path fits: a program run from a deep folder
    // must not have its folder cut at MAX_PATH.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return FolderOf(path);
}
