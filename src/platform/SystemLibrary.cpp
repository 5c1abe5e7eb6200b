#include "platform/SystemLibrary.h"

#include <string>

namespace {

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    std::wstring path(MAX_PATH, L'\0');
    const UINT n = GetSystemDirectoryW(path.data(), MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return nullptr;
    path.resize(n);
    return LoadLibraryW((path + L"\\" + name).c_str());
}

template <class F>
F Find(HMODULE module, const char* name)
{
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

const VersionFunctions* SystemVersionFunctions()
{
    static const VersionFunctions* loaded = []() -> const VersionFunctions* {
        static VersionFunctions functions{};
        HMODULE module = LoadSystemLibrary(L"version.dll");
        if (!module)
            return nullptr;
        functions.getFileVersionInfoSize = Find<decltype(functions.getFileVersionInfoSize)>(module, "GetFileVersionInfoSizeW");
        functions.getFileVersionInfo = Find<decltype(functions.getFileVersionInfo)>(module, "GetFileVersionInfoW");
        functions.verQueryValue = Find<decltype(functions.verQueryValue)>(module, "VerQueryValueW");
        const bool complete = functions.getFileVersionInfoSize && functions.getFileVersionInfo && functions.verQueryValue;
        return complete ? &functions : nullptr;
    }();
    return loaded;
}

void RestrictDllSearchToSystemFolder()
{
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    if (auto set = Find<SetDirectories>(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories"))
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}
