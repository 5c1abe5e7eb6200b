#include "platform/Registry.h"

#include <windows.h>

#include <algorithm>
#include <vector>

std::optional<std::wstring> ReadMachineString(std::wstring keyPath, const std::wstring& valueName)
{
    std::replace(keyPath.begin(), keyPath.end(), L'/', L'\\');
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;

    // Ask for the size first: an installation path is not bounded by a fixed buffer.
    // The value may grow between the two calls.
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
        return std::nullopt;

    const auto* chars = reinterpret_cast<const wchar_t*>(data.data());
    size_t count = data.size() / sizeof(wchar_t);
    return std::wstring(chars, std::find(chars, chars + count, L'\0'));
}
