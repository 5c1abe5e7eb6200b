#include "platform/LongPath.h"

#include <windows.h>

namespace {

// CreateDirectoryW leaves room for an 8.3 file name below the folder it makes.
constexpr size_t kShortEnough = MAX_PATH - 12;

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

bool IsLongPath(const std::wstring& path)
{
    return path.size() >= kShortEnough;
}

}  // namespace

std::wstring LongPathForm(const std::wstring& path)
{
    if (!IsLongPath(path) || StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\"))
        return path;
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size())
        return path;
    full.resize(n);
    if (StartsWith(full, L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\')
        return L"\\\\?\\" + full;
    return path;
}
