#pragma once
// Module file names have the form "ap" + stem + ".dll".
#include <string>

inline constexpr wchar_t kModulePrefix[] = L"ap";

// The name without its first two and last four characters; the characters removed are
// not examined, and a name of six characters or fewer has an empty stem.
inline std::wstring ModuleStem(const std::wstring& moduleName)
{
    return moduleName.size() <= 6 ? std::wstring() : moduleName.substr(2, moduleName.size() - 6);
}
