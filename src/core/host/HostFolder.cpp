#include "core/host/HostFolder.h"

#include "platform/Paths.h"
#include "platform/Registry.h"

int ReadHostRegistryValue(std::wstring keyPath, std::wstring valueName, std::wstring& result)
{
    std::optional<std::wstring> text = ReadMachineString(std::move(keyPath), valueName);
    if (!text)
        return -1;
    result = std::move(*text);
    return 0;
}

std::wstring AddInFolderFor(std::wstring& hostPath)
{
    if (hostPath.empty())
        return {};
    hostPath = WithoutTrailingBackslashes(hostPath);
    return hostPath + kAddInFolderSuffix;
}

bool IsAbsoluteFolderPath(const std::wstring& path)
{
    const auto separator = [&](size_t i) { return i < path.size() && (path[i] == L'\\' || path[i] == L'/'); };
    const bool drive = path.size() >= 3 && ((path[0] | 0x20) >= L'a' && (path[0] | 0x20) <= L'z') && path[1] == L':' && separator(2);
    const bool share = separator(0) && separator(1) && path.size() > 2 && !separator(2);
    return drive || share;
}

void LookUpAddInFolder(std::wstring& hostPath, std::wstring& addInFolder)
{
    std::wstring value;
    if (ReadHostRegistryValue(kHostRegistryKey, kHostRegistryValue, value) != 0)
        return;
    hostPath = IsAbsoluteFolderPath(value) ? value : std::wstring();
    if (!hostPath.empty())
        addInFolder = AddInFolderFor(hostPath);
}
