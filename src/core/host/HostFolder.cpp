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

void LookUpAddInFolder(std::wstring& hostPath, std::wstring& addInFolder)
{
    ReadHostRegistryValue(kHostRegistryKey, kHostRegistryValue, hostPath);
    if (hostPath.empty())
        return;
    addInFolder = AddInFolderFor(hostPath);
}
