#include "app/ModuleFileDialog.h"

#include <shobjidl.h>

#include <algorithm>
#include <vector>

#include "platform/Paths.h"

namespace {

// Releases a COM interface when it goes out of scope.
template <class T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr()
    {
        if (p)
            p->Release();
    }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

std::wstring Trimmed(const std::wstring& text)
{
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

// Turns "description|pattern|...||" into description/pattern pairs. The patterns lose
// the blanks around them so the dialog matches "*.dll" and not " *.dll".
std::vector<std::pair<std::wstring, std::wstring>> ParseFilter(const std::wstring& filter)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t bar; (bar = filter.find(L'|', start)) != std::wstring::npos; start = bar + 1)
        parts.push_back(filter.substr(start, bar - start));
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    for (size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2) {
        std::wstring pattern;
        size_t from = 0;
        const std::wstring& raw = parts[i + 1];
        for (size_t semi; from <= raw.size(); from = semi + 1) {
            semi = raw.find(L';', from);
            if (semi == std::wstring::npos)
                semi = raw.size();
            std::wstring piece = Trimmed(raw.substr(from, semi - from));
            if (!piece.empty())
                pattern += (pattern.empty() ? L"" : L";") + piece;
        }
        pairs.emplace_back(parts[i], pattern);
    }
    return pairs;
}

// Initialises COM for the dialog's lifetime when the thread has not done so already.
struct ComScope {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ~ComScope()
    {
        if (SUCCEEDED(hr))
            CoUninitialize();
    }
};

}  // namespace

int SelectModuleFiles(HWND owner, std::wstring initialFolder, const std::wstring& filter, CStringArray& paths,
                      CStringArray& folders)
{
    std::replace(initialFolder.begin(), initialFolder.end(), L'/', L'\\');
    ComScope com;
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog))))
        return -1;

    auto pairs = ParseFilter(filter);
    std::vector<COMDLG_FILTERSPEC> specs;
    for (const auto& [description, pattern] : pairs)
        specs.push_back({description.c_str(), pattern.c_str()});
    if (!specs.empty())
        dialog->SetFileTypes(static_cast<UINT>(specs.size()), specs.data());

    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_ALLOWMULTISELECT | FOS_FORCEFILESYSTEM);
    if (!initialFolder.empty()) {
        ComPtr<IShellItem> folder;
        if (SUCCEEDED(SHCreateItemFromParsingName(initialFolder.c_str(), nullptr, IID_PPV_ARGS(&folder))))
            dialog->SetFolder(folder.p);
    }
    if (dialog->Show(owner) != S_OK)
        return -1;

    ComPtr<IShellItemArray> results;
    DWORD count = 0;
    if (FAILED(dialog->GetResults(&results)) || FAILED(results->GetCount(&count)))
        return -1;
    int taken = 0;
    for (DWORD i = 0; i < count; ++i) {
        ComPtr<IShellItem> item;
        PWSTR path = nullptr;
        if (FAILED(results->GetItemAt(i, &item)) || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)))
            continue;
        paths.Add(path);
        folders.Add(FolderOf(path));
        CoTaskMemFree(path);
        ++taken;
    }
    return taken;
}
