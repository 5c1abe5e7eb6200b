#include "core/apply/Deploy.h"

#include <windows.h>

#include <string_view>

#include "core/table/CiStCStringArray.h"
#include "core/table/ModuleName.h"
#include "platform/Paths.h"

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

void FindModuleFiles(const std::wstring& sourceFolder, const std::vector<std::wstring>& listing,
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

bool IsPictureOf(const std::wstring& name, const std::wstring& dllName)
{
    const std::wstring prefix = kModulePrefix + ModuleStem(dllName);
    return name.size() == prefix.size() + 7 && EqualsNoCase(name.substr(0, prefix.size()), prefix) &&
           EqualsNoCase(name.substr(name.size() - 4), L".png");
}
