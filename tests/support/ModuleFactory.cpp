#include "support/ModuleFactory.h"

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <stdexcept>

#include "support/TestSupport.h"

namespace {

// Serializes the nested blocks of a version resource. Every block starts on a 32-bit
// boundary of the resource: a WORD length (the block with its value and children), a
// WORD value length, a WORD type (1 text, 0 binary), the NUL-terminated UTF-16 key,
// padding, the value, then each child after padding.
class Block {
public:
    Block(const std::wstring& key, uint16_t type) : type_(type)
    {
        bytes_.assign(6, '\0');
        AppendText(key);
        Align();
    }

    Block& BinaryValue(const void* data, size_t size)
    {
        bytes_.append(static_cast<const char*>(data), size);
        valueLength_ = static_cast<uint16_t>(size);
        return *this;
    }

    // Text values count their length in characters, terminator included.
    Block& TextValue(const std::wstring& text)
    {
        AppendText(text);
        valueLength_ = static_cast<uint16_t>(text.size() + 1);
        return *this;
    }

    Block& Child(const std::string& child)
    {
        Align();
        bytes_ += child;
        return *this;
    }

    std::string Bytes() const
    {
        if (bytes_.size() > 0xFFFF)
            throw std::runtime_error("version block too long");
        std::string out = bytes_;
        const uint16_t header[] = {static_cast<uint16_t>(out.size()), valueLength_, type_};
        for (size_t i = 0; i < std::size(header); ++i) {
            out[2 * i] = static_cast<char>(header[i] & 0xFF);
            out[2 * i + 1] = static_cast<char>(header[i] >> 8);
        }
        return out;
    }

private:

    void AppendText(const std::wstring& text)
    {
        for (wchar_t c : text) {
            bytes_ += static_cast<char>(c & 0xFF);
            bytes_ += static_cast<char>((c >> 8) & 0xFF);
        }
        bytes_.append(2, '\0');
    }

    void Align()
    {
        while (bytes_.size() % 4 != 0)
            bytes_ += '\0';
    }

    std::string bytes_;
    uint16_t valueLength_ = 0;
    uint16_t type_;
};

// "a.b.c.d" as the two DWORDs of a fixed version; missing parts count as 0.
void ParseVersion(const std::wstring& version, DWORD& most, DWORD& least)
{
    unsigned p[4] = {};
    swscanf(version.c_str(), L"%u.%u.%u.%u", &p[0], &p[1], &p[2], &p[3]);
    most = MAKELONG(p[1], p[0]);
    least = MAKELONG(p[3], p[2]);
}

}  // namespace

std::string BuildVersionResource(const std::wstring& table, const std::vector<VersionString>& strings,
                                 const std::wstring& version)
{
    VS_FIXEDFILEINFO fixed = {};
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    ParseVersion(version, fixed.dwFileVersionMS, fixed.dwFileVersionLS);
    fixed.dwProductVersionMS = fixed.dwFileVersionMS;
    fixed.dwProductVersionLS = fixed.dwFileVersionLS;
    fixed.dwFileFlagsMask = VS_FFI_FILEFLAGSMASK;
    fixed.dwFileOS = VOS_NT_WINDOWS32;
    fixed.dwFileType = VFT_DLL;

    Block stringTable(table, 1);
    for (const VersionString& s : strings)
        stringTable.Child(Block(s.key, 1).TextValue(s.value).Bytes());

    unsigned long tableId = wcstoul(table.c_str(), nullptr, 16);
    DWORD translation = MAKELONG(HIWORD(tableId), LOWORD(tableId));
    return Block(L"VS_VERSION_INFO", 0)
        .BinaryValue(&fixed, sizeof fixed)
        .Child(Block(L"StringFileInfo", 1).Child(stringTable.Bytes()).Bytes())
        .Child(Block(L"VarFileInfo", 1)
                   .Child(Block(L"Translation", 0).BinaryValue(&translation, sizeof translation).Bytes())
                   .Bytes())
        .Bytes();
}

std::vector<VersionString> ModuleVersionStrings(const ModuleSpec& wanted)
{
    return {
        {L"CompanyName", L"샘플 제작소"},
        {L"FileDescription", wanted.description},
        {L"FileVersion", wanted.version},
        {L"InternalName", wanted.internalName},
        {L"LegalCopyright", L"(C) 샘플 팀"},
        {L"OriginalFilename", L"ap" + wanted.internalName},
        {L"ProductName", L"샘플 제품"},
        {L"ProductVersion", wanted.version},
    };
}

void StampResource(const std::wstring& path, unsigned type, unsigned id, unsigned short language,
                   const std::string& data)
{
    HANDLE update = BeginUpdateResourceW(path.c_str(), FALSE);
    if (!update)
        throw std::runtime_error("cannot open " + Utf8(path) + " for resource update");
    if (!UpdateResourceW(update, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id), language,
                         const_cast<char*>(data.data()), static_cast<DWORD>(data.size()))) {
        EndUpdateResourceW(update, TRUE);
        throw std::runtime_error("cannot add a resource to " + Utf8(path));
    }
    if (!EndUpdateResourceW(update, FALSE))
        throw std::runtime_error("cannot write the resources of " + Utf8(path));
}

void CopyBareModule(const std::wstring& path, bool is64Bit)
{
    std::wstring base = FixturePath(is64Bit ? L"apSampleNoVersion.dll" : L"apSampleNoVersion32.dll");
    if (!CopyFileW(base.c_str(), path.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + Utf8(base) + " to " + Utf8(path));
}

void MakeModuleDll(const std::wstring& path, const ModuleSpec& wanted)
{
    CopyBareModule(path, wanted.is64Bit);
    StampResource(path, kResourceTypeVersion, 1, kLanguageKorean,
                  BuildVersionResource(L"041204b0", ModuleVersionStrings(wanted), wanted.version));
    if (wanted.padBytes == 0)
        return;
    // Varied bytes, so the bulk is not one run a file system could store sparsely.
    std::string pad(wanted.padBytes, '\0');
    uint32_t state = 0x2545F491u;
    for (char& c : pad) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
    }
    StampResource(path, kResourceTypeData, 1, kLanguageKorean, pad);
}
