// hold_file: holds a file open without sharing, as a running host holds its menu file,
// for the fleet rehearsal (scripts/fleet_rehearsal.sh).
//   hold_file <path> <seconds> <ready file>
// Creates <ready file> once the file is held, lets go after <seconds>. Exit code 0, or
// 1 when the file could not be held.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
        return 2;
    HANDLE held = CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(CreateFileW(argv[3], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    Sleep(static_cast<DWORD>(wcstoul(argv[2], nullptr, 10)) * 1000);
    CloseHandle(held);
    return 0;
}
