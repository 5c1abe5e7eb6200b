#pragma once
// The state an Apply works on, in a fresh folder: an add-in folder below a host folder,
// a folder of modules to install, the module table on a real list, and the catalogue.
#include <string>
#include <vector>

#include "app/ModuleCatalogue.h"
#include "app/ModuleTable.h"
#include "support/TestList.h"
#include "support/TestSupport.h"

struct ApplyScene {
    TempDir dir;
    TestList list;
    ModuleTable table{list.List()};
    ModuleCatalogue catalogue;
    std::wstring host = dir / L"host";
    std::wstring addIn = host + L"\\zul_ap";
    std::wstring source = dir / L"modules";

    ApplyScene()
    {
        CreateDirectoryW(host.c_str(), nullptr);
        CreateDirectoryW(addIn.c_str(), nullptr);
        CreateDirectoryW(source.c_str(), nullptr);
        catalogue.FillCatalogue();
    }

    std::wstring MenuPath() const { return addIn + L"\\zulmenu.txt"; }
    std::string Menu() const { return ReadFileBytes(MenuPath()); }
    std::wstring InAddIn(const std::wstring& name) const { return addIn + L"\\" + name; }
    std::wstring InSource(const std::wstring& name) const { return source + L"\\" + name; }

    // A module file in the source folder whose content names it, so copies can be traced.
    std::wstring Source(const std::wstring& name)
    {
        WriteFileBytes(InSource(name), "content of " + Utf8(name));
        return InSource(name);
    }

    void Add(const std::wstring& moduleName, const std::wstring& menuName, const std::wstring& sourcePath)
    {
        size_t slash = sourcePath.rfind(L'\\');
        table.AppendAddedRow({kStatusAdded, sourcePath.substr(slash + 1), moduleName, menuName, sourcePath}, L"");
    }
    // A row as loading makes it for an installed module, then marked replaced by a new file.
    void Replace(const std::wstring& dllFileName, const std::wstring& moduleName, const std::wstring& newSourcePath)
    {
        table.AppendLoadedRow({kStatusLoaded, dllFileName, moduleName, L"menu", InAddIn(dllFileName)}, L"");
        table.MarkReplaced(table.GetCount() - 1, newSourcePath, moduleName, L"menu", L"");
    }

    int PresentCount() const
    {
        int n = 0;
        for (unsigned flag : catalogue.presentFlags)
            n += flag == 1 ? 1 : 0;
        return n;
    }
};
