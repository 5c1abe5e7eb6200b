#include "support/ModuleFactory.h"

#include <windows.h>

#include <cstdint>
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
        PutWord(out, 0, static_cast<uint16_t>(out.size()));
        PutWord(out, 2, valueLength_);
        PutWord(out, 4, type_);
        return out;
    }

private:
    static void PutWord(std::string& out, size_t at, uint16_t value)
    {
        out[at] = static_cast<char>(value & 0xFF);
        out[at + 1] = static_cast<char>(value >> 8);
    }

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

// "a.b.c.d" as the two DWORDs of a fixed version; parts that are missing or not
// numbers count as 0.
void ParseVersion(const std::wstring& version, DWORD& most, DWORD& least)
{
    unsigned parts[4] = {};
    size_t start = 0;
    for (unsigned& part : parts) {
        size_t end = version.find(L'.', start);
        std::wstring piece = version.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        wchar_t* stop = nullptr;
        unsigned long value = wcstoul(piece.c_str(), &stop, 10);
        part = stop && *stop == L'\0' && !piece.empty() ? static_cast<unsigned>(value & 0xFFFF) : 0;
        if (end == std::wstring::npos)
            break;
        start = end + 1;
    }
    most = MAKELONG(parts[1], parts[0]);
    least = MAKELONG(parts[3], parts[2]);
}

struct Resource {
    unsigned type;
    unsigned id;
    unsigned short language;
    const std::string* data;
};

void StampResources(const std::wstring& path, std::initializer_list<Resource> resources)
{
    HANDLE update = BeginUpdateResourceW(path.c_str(), FALSE);
    if (!update)
        throw std::runtime_error("cannot open " + Utf8(path) + " for resource update");
    for (const Resource& r : resources) {
        if (!UpdateResourceW(update, MAKEINTRESOURCEW(r.type), MAKEINTRESOURCEW(r.id), r.language,
                             const_cast<char*>(r.data->data()), static_cast<DWORD>(r.data->size()))) {
            EndUpdateResourceW(update, TRUE);
            throw std::runtime_error("cannot add a resource to " + Utf8(path));
        }
    }
    if (!EndUpdateResourceW(update, FALSE))
        throw std::runtime_error("cannot write the resources of " + Utf8(path));
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
    StampResources(path, {{type, id, language, &data}});
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
    std::string version = BuildVersionResource(L"041204b0", ModuleVersionStrings(wanted), wanted.version);
    if (wanted.padBytes == 0) {
        StampResource(path, kResourceTypeVersion, 1, kLanguageKorean, version);
        return;
    }
    // Varied bytes, so the bulk is not one run a file system could store sparsely.
    std::string pad(wanted.padBytes, '\0');
    uint32_t state = 0x2545F491u;
    for (char& c : pad) {
        state = state * 1664525u + 1013904223u;
        c = static_cast<char>(state >> 24);
    }
    StampResources(path, {{kResourceTypeVersion, 1, kLanguageKorean, &version},
                          {kResourceTypeData, 1, kLanguageKorean, &pad}});
}
