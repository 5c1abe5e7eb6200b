#pragma once
// Reading the one kind of registry data the program needs: a string under
// HKEY_LOCAL_MACHINE. Writes nothing.
#include <optional>
#include <string>

// The text of value valueName under keyPath ("/" read as "\"), whatever its length,
// up to its first NUL or over all its data when it was stored without one. nullopt
// when the key or the value cannot be read.
std::optional<std::wstring> ReadMachineString(std::wstring keyPath, const std::wstring& valueName);
