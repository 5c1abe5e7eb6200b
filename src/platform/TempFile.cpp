#include "platform/TempFile.h"

#include <windows.h>

#include <atomic>
#include <cwctype>

#include "platform/LongPath.h"
#include "platform/Paths.h"

namespace {

constexpr wchar_t kTempPrefix[] = L"~tq2zul-";
constexpr wchar_t kTempSuffix[] = L".tmp";

}  // namespace

std::wstring TempPathBeside(const std::wstring& target)
{
    static std::atomic<unsigned> counter{0};
    const std::wstring folder = WithoutTrailingBackslashes(FolderOf(target));
    for (;;) {
        wchar_t unique[64];
        swprintf(unique, std::size(unique), L"%lx-%llx-%x", GetCurrentProcessId(),
                 static_cast<unsigned long long>(GetTickCount64()), ++counter);
        std::wstring candidate = folder + L"\\" + kTempPrefix + unique + kTempSuffix;
        if (GetFileAttributesW(LongPathForm(candidate).c_str()) == INVALID_FILE_ATTRIBUTES)
            return candidate;
    }
}

bool IsToolTempName(const std::wstring& fileName)
{
    const std::wstring prefix = kTempPrefix, suffix = kTempSuffix;
    if (fileName.size() <= prefix.size() + suffix.size())
        return false;
    if (fileName.compare(0, prefix.size(), prefix) != 0 ||
        fileName.compare(fileName.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    for (size_t i = prefix.size(); i < fileName.size() - suffix.size(); ++i)
        if (!std::iswxdigit(fileName[i]) && fileName[i] != L'-')
            return false;
    return true;
}

int RemoveToolTempFiles(const std::wstring& folder)
{
    int removed = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(LongPathForm(WithoutTrailingBackslashes(folder) + L"\\" + kTempPrefix + L"*" + kTempSuffix).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsToolTempName(data.cFileName)) {
            const std::wstring path = LongPathForm(folder + L"\\" + data.cFileName);
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (DeleteFileW(path.c_str()))
                ++removed;
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return removed;
}
