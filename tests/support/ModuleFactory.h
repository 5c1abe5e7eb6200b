#pragma once
// Makes module DLLs at run time: a copy of a fixture module that has no version
// resource, stamped with one serialized here. For tests that need many modules with
// chosen names, and for version resources that are damaged on purpose.
#include <cstddef>
#include <string>
#include <vector>

struct ModuleSpec {
    std::wstring internalName, description, version = L"1.0.0.1";
    bool is64Bit = true;
    // Extra bytes carried as a data resource, for modules of some bulk (copy timing).
    size_t padBytes = 0;
};

// Writes a real, loadable DLL at path with a version resource whose "041204b0" table
// holds all eight keys: InternalName, FileDescription and ProductVersion (and
// FileVersion) from wanted, fixed sample texts for the others. Throws std::runtime_error
// when the file cannot be made.
void MakeModuleDll(const std::wstring& path, const ModuleSpec& wanted);

struct VersionString {
    std::wstring key;
    std::wstring value;
};

// The eight strings MakeModuleDll writes for wanted, in the usual key order.
std::vector<VersionString> ModuleVersionStrings(const ModuleSpec& wanted);

// A version resource (VS_VERSIONINFO) with one string table named table ("041204b0":
// language then code page, in hex) holding strings in the given order, a translation
// entry for that language and code page, and fixed file and product versions parsed
// from version ("a.b.c.d").
std::string BuildVersionResource(const std::wstring& table, const std::vector<VersionString>& strings,
                                 const std::wstring& version = L"1.0.0.1");

// Resource type numbers for StampResource.
inline constexpr unsigned kResourceTypeData = 10;     // RT_RCDATA
inline constexpr unsigned kResourceTypeVersion = 16;  // RT_VERSION
inline constexpr unsigned short kLanguageKorean = 0x0412;

// Adds or replaces one resource of the module at path. Throws std::runtime_error when
// the file cannot be updated.
void StampResource(const std::wstring& path, unsigned type, unsigned id, unsigned short language,
                   const std::string& data);

// Copies the fixture module without version resource (64-bit or 32-bit) to path.
void CopyBareModule(const std::wstring& path, bool is64Bit);
