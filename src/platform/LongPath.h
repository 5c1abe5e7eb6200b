#pragma once
// Paths past the classic length limit. Without the long-path opt-in of newer Windows
// the file functions refuse a path of MAX_PATH characters or more (CreateDirectoryW
// already one of 248), unless it comes in the "\\?\" form, which they take verbatim.
#include <string>

// The form of path every file function takes: path itself while it is short enough
// for all of them, else its full path in the "\\?\" form ("\\?\UNC\server\share\..."
// for a network path), with "/" read as "\" and "." and ".." resolved, as the verbatim
// form no longer does. A path already in that form, or one that cannot be made full,
// comes back as it is.
std::wstring LongPathForm(const std::wstring& path);
