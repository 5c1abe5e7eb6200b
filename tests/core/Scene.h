#pragma once
// What the core works on, in a fresh folder: an add-in folder below a host folder, a
// folder of modules to install, the module table and the catalogue.
#include <string>

#include "core/table/ModuleCatalogue.h"
#include "core/table/ModuleTable.h"
#include "platform/Paths.h"
#include "support/TestSupport.h"

struct Scene {
    TempDir dir;
    ModuleTable table;
    ModuleCatalogue catalogue;
    std::wstring host = dir / L"host";
    std::wstring addIn = host + L"\\zul_ap";
    std::wstring source = dir / L"modules";

    Scene()
    {
        for (const std::wstring& folder : {host, addIn, source})
            CreateDirectoryW(folder.c_str(), nullptr);
        catalogue.FillCatalogue();
    }

    std::wstring MenuPath() const { return addIn + L"\\zulmenu.txt"; }
    std::string Menu() const { return ReadFileBytes(MenuPath()); }
    std::wstring InAddIn(const std::wstring& name) const { return addIn + L"\\" + name; }
    std::string AddIn(const std::wstring& name) const { return ReadFileBytes(InAddIn(name)); }

    // A file in the source folder whose content names it, so copies can be traced.
    std::wstring Source(const std::wstring& name)
    {
        WriteFileBytes(source + L"\\" + name, "content of " + Utf8(name));
        return source + L"\\" + name;
    }
    void Add(const std::wstring& moduleName, const std::wstring& menuName, const std::wstring& path)
    {
        table.AppendRow({RowStatus::Added, FileNameOf(path), moduleName, menuName, path}, L"");
    }
    // An installed module's row, marked replaced by a new file.
    void Replace(const std::wstring& dllFileName, const std::wstring& moduleName, const std::wstring& newPath)
    {
        table.AppendRow({RowStatus::Loaded, dllFileName, moduleName, L"Old", InAddIn(dllFileName), 0}, L"");
        table.MarkReplaced(table.GetCount() - 1, newPath, {moduleName, L"new", L""});
    }
    int PresentCount() const
    {
        int n = 0;
        for (int i = 0; i < catalogue.GetSize(); ++i)
            n += catalogue.IsPresent(i) ? 1 : 0;
        return n;
    }
};

inline std::string Content(const std::wstring& name)
{
    return "content of " + Utf8(name);
}
