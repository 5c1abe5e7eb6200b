// hold_file: holds a file open without sharing, as a running host holds its menu file,
// for the fleet rehearsal (scripts/fleet_rehearsal.sh).
//   hold_file <path> <ready file> <release file>
// Creates <ready file> once the file is held, and lets go when <release file> appears
// (or after two minutes). Exit code 0, or 1 when the file could not be held.
#include <windows.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
        return 2;
    HANDLE held = CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    for (int waited = 0; waited < 120000 && GetFileAttributesW(argv[3]) == INVALID_FILE_ATTRIBUTES; waited += 50)
        Sleep(50);
    CloseHandle(held);
    return 0;
}
