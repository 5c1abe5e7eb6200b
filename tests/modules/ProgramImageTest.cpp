#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "support/AppDriver.h"
#include "support/TestSupport.h"

namespace {

// Maps a relative virtual address of the image to its offset in the file.
size_t FileOffset(const std::string& image, const IMAGE_NT_HEADERS64& nt, size_t sectionsAt, DWORD rva)
{
    for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        std::memcpy(&section, image.data() + sectionsAt + i * sizeof section, sizeof section);
        if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.Misc.VirtualSize)
            return rva - section.VirtualAddress + section.PointerToRawData;
    }
    throw std::runtime_error("address outside every section");
}

}  // namespace

// The program must run on a Windows PC as it is: a 64-bit GUI image that needs no DLL
// beyond those every Windows has.
TEST(ProgramImage, IsA64BitGuiExecutableImportingOnlyWindowsDlls)
{
    const std::string image = ReadFileBytes(BuiltExePath());
    ASSERT_GT(image.size(), 4096u);
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, image.data(), sizeof dos);
    ASSERT_EQ(dos.e_magic, IMAGE_DOS_SIGNATURE);
    IMAGE_NT_HEADERS64 nt;
    std::memcpy(&nt, image.data() + dos.e_lfanew, sizeof nt);
    ASSERT_EQ(nt.Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(nt.FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    ASSERT_EQ(nt.OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR64_MAGIC) << "PE32+";
    EXPECT_EQ(nt.OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

    const size_t sectionsAt = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                              nt.FileHeader.SizeOfOptionalHeader;
    const DWORD importsRva = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    ASSERT_NE(importsRva, 0u);
    const std::set<std::string> windowsDlls = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll",
                                               "kernel32.dll", "msvcrt.dll",   "ole32.dll",    "oleaut32.dll",
                                               "shell32.dll",  "shlwapi.dll",  "user32.dll",   "version.dll"};
    std::set<std::string> imported;
    for (size_t at = FileOffset(image, nt, sectionsAt, importsRva);; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        IMAGE_IMPORT_DESCRIPTOR entry;
        std::memcpy(&entry, image.data() + at, sizeof entry);
        if (entry.Name == 0)
            break;
        std::string name = image.c_str() + FileOffset(image, nt, sectionsAt, entry.Name);
        std::transform(name.begin(), name.end(), name.begin(), ::tolower);
        imported.insert(name);
        EXPECT_TRUE(windowsDlls.count(name)) << name << " is not part of Windows";
    }
    EXPECT_TRUE(imported.count("kernel32.dll") && imported.count("comctl32.dll"));
}
