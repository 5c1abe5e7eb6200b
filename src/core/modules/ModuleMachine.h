#pragma once
#include <string>

// Reads the machine field of the PE header (exactly 10 bytes of the file). Returns true
// when the image is classified, with is64Bit 1 for x64 and Itanium, 0 for x86; false
// for anything else (unreadable, not a PE image, another machine), is64Bit untouched.
bool CheckModuleMachine(const std::wstring& path, int& is64Bit);
