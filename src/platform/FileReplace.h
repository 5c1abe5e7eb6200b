#pragma once
// Replacing a file's content in one step: the new bytes go to a temporary file in the
// same folder, reach the disk, and then take the file's place by rename, so a reader
// sees either the old content or the new, never a mix, and a failure leaves the old.
#include <initializer_list>
#include <string>
#include <string_view>

// Writes the pieces, in order, to a new temporary file beside target (a full path) and
// flushes it to disk. Returns its path, or an empty string when that failed (nothing
// is left).
std::wstring WriteTempBeside(const std::wstring& target, std::initializer_list<std::string_view> pieces);

// Puts the temporary file in target's place. When targetExists the existing file is
// replaced (keeping its attributes); otherwise temp is moved there only if no file has
// appeared meanwhile. Retries a few times while another process briefly holds the
// target. On failure target is as it was and temp is deleted; true on success.
bool SwapInTemp(const std::wstring& temp, const std::wstring& target, bool targetExists);
