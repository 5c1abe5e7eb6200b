#pragma once
// What tq2zul.exe tells a deployment system through its exit code.
enum ExitCode : int {
    kExitDone = 0,
    kExitFailed = 1,        // anything not named below
    kExitUsage = 2,         // the command line was wrong
    kExitNoHost = 3,        // the host is not installed (or --host names no folder)
    kExitRefused = 4,       // a module was refused: 32-bit, or a name the menu file cannot hold
    kExitPartly = 5,        // installed, but some of its files were not copied
    kExitNotInstalled = 6,  // detection: not installed, DLL missing or older than asked
    kExitNoPermission = 7,  // no right to write the add-in folder: run as administrator
    kExitHeld = 1618,       // the menu file or a module is in use (the host runs): retry later
};
