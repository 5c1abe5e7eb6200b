#pragma once
// The built-in module catalogue: the standard module file names under which modules
// are deployed, each with a present flag (set once a module of that name is installed
// or has just been deployed). Names never change after the fill; flags only get set.
#include <string>
#include <vector>

#include "core/table/CiStCStringArray.h"

// Number of names in the catalogue.
inline constexpr int kCatalogueSize = 37;

class ModuleCatalogue {
public:
    // Fills the names in catalogue order with every flag clear.
    void FillCatalogue();

    int GetSize() const { return names_.GetSize(); }
    const std::wstring& Name(int i) const { return names_.GetAt(i); }
    // Index of the name equal to fileName ignoring case, or -1.
    int Find(const std::wstring& fileName) const { return names_.FindNoCase(fileName); }
    bool IsPresent(int i) const { return present_.at(static_cast<size_t>(i)); }
    void MarkPresent(int i) { present_.at(static_cast<size_t>(i)) = true; }
    // Lowest index whose flag is clear, or -1 when every name is in use.
    int FirstFree() const;

private:
    CiStCStringArray names_;
    std::vector<bool> present_;
};
