#include "core/modules/ModuleMachine.h"

#include <cstdint>
#include <cstdio>

#include "platform/LongPath.h"

namespace {

constexpr long kHeaderOffsetPosition = 0x3C;
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint16_t kMachineAmd64 = 0x8664;
constexpr uint16_t kMachineIa64 = 0x200;
constexpr uint16_t kMachineI386 = 0x14C;

bool ReadExactly(FILE* file, unsigned char* buffer, size_t count)
{
    return fread(buffer, 1, count, file) == count;
}

uint32_t LittleEndian32(const unsigned char* b)
{
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
           static_cast<uint32_t>(b[3]) << 24;
}

// Reads the machine field; false when the file is not a PE image we can read.
bool ReadMachine(FILE* file, uint16_t& machine)
{
    unsigned char b[4];
    if (_fseeki64(file, kHeaderOffsetPosition, SEEK_SET) != 0 || !ReadExactly(file, b, 4))
        return false;
    auto headerOffset = static_cast<int32_t>(LittleEndian32(b));
    if (headerOffset < 0 || _fseeki64(file, headerOffset, SEEK_SET) != 0 || !ReadExactly(file, b, 4) ||
        LittleEndian32(b) != kPeSignature || !ReadExactly(file, b, 2))
        return false;
    machine = static_cast<uint16_t>(b[0] | b[1] << 8);
    return true;
}

}  // namespace

bool CheckModuleMachine(const std::wstring& path, int& is64Bit)
{
    FILE* file = nullptr;
    if (_wfopen_s(&file, LongPathForm(path).c_str(), L"rb") != 0 || !file)
        return false;
    uint16_t machine = 0;
    bool read = ReadMachine(file, machine);
    fclose(file);
    if (!read)
        return false;
    switch (machine) {
    case kMachineAmd64:
    case kMachineIa64:
        is64Bit = 1;
        return true;
    case kMachineI386:
        is64Bit = 0;
        return true;
    default:
        return false;
    }
}
