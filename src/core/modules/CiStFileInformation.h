#pragma once
// The eight standard version strings of a module file, read from its version resource
// under the one string table "041204b0" (Korean, UTF-16). A missing key, a missing
// table or an unreadable file leaves the strings empty; nothing here reports or throws.
#include <string>

// The eight strings, in the order of the table's keys.
struct VersionStrings {
    std::wstring CompanyName;
    std::wstring FileDescription;
    std::wstring FileVersion;
    std::wstring InternalName;
    std::wstring LegalCopyright;
    std::wstring OriginalFilename;
    std::wstring ProductName;
    std::wstring ProductVersion;
};

class CiStFileInformation {
public:
    explicit CiStFileInformation(const std::wstring& path);
    virtual ~CiStFileInformation() = default;

    // Non-zero only when the version block was read and all eight strings were found.
    int ReadVersionStrings(const std::wstring& path);

    std::wstring GetFileDescription() const { return strings_.FileDescription; }
    std::wstring GetInternalName() const { return strings_.InternalName; }
    std::wstring GetProductVersion() const { return strings_.ProductVersion; }
    const VersionStrings& GetStrings() const { return strings_; }
    bool GetStatus() const { return status_ != 0; }

private:
    VersionStrings strings_;
    int status_ = 0;
    std::wstring path_;
};
