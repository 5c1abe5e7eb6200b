#include "menu/Deploy.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

#include "app/CiStCStringArray.h"
#include "app/ModuleName.h"
#include "platform/LongPath.h"

bool FolderExists(const std::wstring& path)
{
    std::wstring normal = path;
    std::replace(normal.begin(), normal.end(), L'/', L'\\');
    while (!normal.empty() && normal.back() == L'\\')
        normal.pop_back();
    if (normal.empty())
        return false;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(LongPathForm(normal).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return true;
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

std::wstring MatchKey(const std::wstring& moduleName)
{
    size_t first = moduleName.find_first_not_of(L"ap");
    if (first == std::wstring::npos)
        return {};
    size_t last = moduleName.find_last_not_of(L".dl");
    if (last == std::wstring::npos || last < first)
        return {};
    return moduleName.substr(first, last - first + 1);
}

void FindModuleFiles(std::wstring sourceFolder, std::wstring moduleName, CStringArray& paths, CStringArray& names)
{
    if (!MatchKey(moduleName).empty())
        MatchModuleFiles(sourceFolder, ListFolderFiles(sourceFolder), moduleName, paths, names);
}

std::vector<std::wstring> ListFolderFiles(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(LongPathForm(folder + L"\\*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L".." && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

void MatchModuleFiles(const std::wstring& sourceFolder, const std::vector<std::wstring>& listing,
                      const std::wstring& moduleName, CStringArray& paths, CStringArray& names)
{
    const std::wstring key = MatchKey(moduleName);
    if (key.empty())
        return;
    for (const std::wstring& name : listing) {
        if (name.find(key) != std::wstring::npos) {
            paths.Add(sourceFolder + L"\\" + name);
            names.Add(name);
        }
    }
}

std::wstring SourceFolderOf(const std::wstring& sourcePath)
{
    size_t slash = sourcePath.rfind(L'\\');
    if (slash == std::wstring::npos) {
        // "C:apFoo.dll" names a file in the drive's current folder.
        return sourcePath.size() >= 2 && sourcePath[1] == L':' ? sourcePath.substr(0, 2) : std::wstring();
    }
    // A root keeps its backslash: "\", "C:\", "\\?\C:\".
    const bool rootSlash = slash == 0 || (slash >= 2 && sourcePath[slash - 1] == L':' &&
                                          (slash == 2 || sourcePath.compare(0, 4, L"\\\\?\\") == 0));
    return sourcePath.substr(0, rootSlash ? slash + 1 : slash);
}

std::wstring FileNameOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring TargetName(const std::wstring& fileName, const std::wstring& namingBase)
{
    const size_t dot = fileName.rfind(L'.');
    const std::wstring extension = dot == std::wstring::npos ? fileName : fileName.substr(dot + 1);
    if (EqualsNoCase(extension, L"dll"))
        return kModulePrefix + ModuleStem(namingBase) + L"." + extension;
    if (EqualsNoCase(extension, L"png")) {
        const size_t suffixStart = (dot == std::wstring::npos || dot < 3) ? 0 : dot - 3;
        return kModulePrefix + ModuleStem(namingBase) + fileName.substr(suffixStart, 3) + L"." + extension;
    }
    return fileName;
}

bool IsUsableNamingBase(const std::wstring& namingBase)
{
    const std::wstring stem = ModuleStem(namingBase);
    return stem.find_first_of(L"\\/:") == std::wstring::npos && stem.find(L"..") == std::wstring::npos;
}

bool IsPlainFileName(const std::wstring& name)
{
    if (name.empty() || name == L"." || name == L"..")
        return false;
    for (wchar_t c : name)
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
            return false;
    return true;
}
