#include "app/FolderLookup.h"

#include <windows.h>

#include <algorithm>
#include <vector>

int ReadHostRegistryValue(std::wstring keyPath, std::wstring valueName, std::wstring& result)
{
    std::replace(keyPath.begin(), keyPath.end(), L'/', L'\\');
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;

    // Ask for the size first and read whatever length the value has: an installation
    // path is not bounded by a fixed buffer. The value may grow between the two calls.
    std::vector<BYTE> data;
    LONG rc = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 4 && rc == ERROR_MORE_DATA; ++attempt) {
        DWORD size = 0;
        rc = RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, nullptr, &size);
        if (rc != ERROR_SUCCESS)
            break;
        data.assign(size, 0);
        rc = RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, data.data(), &size);
        data.resize(size);
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return -1;

    // The text runs to the first NUL, or over all the data when it was stored without one.
    const auto* chars = reinterpret_cast<const wchar_t*>(data.data());
    size_t count = data.size() / sizeof(wchar_t);
    result.assign(chars, std::find(chars, chars + count, L'\0'));
    return 0;
}

std::wstring AddInFolderFor(std::wstring& hostPath)
{
    if (hostPath.empty())
        return {};
    while (!hostPath.empty() && hostPath.back() == L'\\')
        hostPath.pop_back();
    return hostPath + kAddInFolderSuffix;
}

void LookUpAddInFolder(std::wstring& hostPath, std::wstring& addInFolder)
{
    ReadHostRegistryValue(kHostRegistryKey, kHostRegistryValue, hostPath);
    if (hostPath.empty())
        return;
    addInFolder = AddInFolderFor(hostPath);
}

std::wstring FolderOfPath(const std::wstring& path)
{
    size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
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
    return FolderOfPath(path);
}
