#pragma once
// The eight standard version strings of a module file, read from its version resource
// under the one string table "041204b0" (Korean, UTF-16). A missing key, a missing
// table or an unreadable file leaves the strings empty; nothing here reports or throws.
#include <string>

class CiStFileInformation {
public:
    explicit CiStFileInformation(const std::wstring& path);
    virtual ~CiStFileInformation() = default;

    // Non-zero only when the version block was read and all eight strings were found.
    int ReadVersionStrings(const std::wstring& path);

    std::wstring GetFileDescription() const { return FileDescription; }
    std::wstring GetInternalName() const { return InternalName; }
    std::wstring GetProductVersion() const { return ProductVersion; }
    bool GetStatus() const { return status_ != 0; }

    std::wstring CompanyName;
    std::wstring FileDescription;
    std::wstring FileVersion;
    std::wstring InternalName;
    std::wstring LegalCopyright;
    std::wstring OriginalFilename;
    std::wstring ProductName;
    std::wstring ProductVersion;

private:
    int status_ = 0;
    std::wstring path_;
};
