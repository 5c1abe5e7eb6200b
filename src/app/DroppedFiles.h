#pragma once
// The names a shell drop delivers.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

// Full paths of the dropped items in drop order, each at its full length.
std::vector<std::wstring> DroppedFilePaths(HDROP drop);
