#pragma once
// Every read and rewrite of the menu file goes through one CiStTextFile. Lines are kept
// both as decoded text (for the list) and as the exact bytes read (for the rewrite), so
// a rewrite carries over every line it did not compose byte for byte, even bytes that
// are not valid code page 949. A rewrite goes to a temporary file beside the menu file
// that then replaces it in one step: the menu file is never seen half written, and on
// any failure it stays exactly as it was.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/table/Array.h"

// badEntry >= 0: that new entry holds a character code page 949 lacks, at badIndex.
struct RewriteResult {
    bool ok = false;
    int badEntry = -1;
    size_t badIndex = 0;
};

class CiStTextFile {
public:
    CiStTextFile() = default;
    ~CiStTextFile() { Close(); }
    CiStTextFile(const CiStTextFile&) = delete;
    CiStTextFile& operator=(const CiStTextFile&) = delete;

    // Opens an existing file without sharing, reads it and appends its lines. The file
    // stays held until Close. False (lines unchanged) when it cannot be opened or read.
    bool ReadLines(const std::wstring& path);
    // Opens the file for a rewrite without sharing, or notes that it does not exist
    // yet (nothing is created here), and reads its lines. The file stays held until
    // WriteRewrite or Close. False when it exists but cannot be opened for writing.
    bool ReadLinesForRewrite(const std::wstring& path);

    // Decoded lines, for display; decoded on first use, as a rewrite needs only bytes.
    const CStringArray& GetLines() const;
    // The bytes of line i exactly as read, without its line break.
    std::string_view GetRawLine(int i) const;

    // The whole file as read; empty when it did not exist.
    const std::string& GetRawContent() const { return content_; }
    // After ReadLinesForRewrite: whether the file did not exist.
    bool IsAbsent() const { return absent_; }

    // Why the last open failed: a Windows error code (a sharing violation while another
    // program holds the file, access denied without permission), 0 when it did not.
    unsigned long GetOpenError() const { return openError_; }

    // Replaces the file with every line read followed by the new entries (code page
    // 949), each ending with CR LF. A line read goes out as its raw bytes, or as the
    // bytes lineEdits gives for its index (nullopt: the line is left out). Checks every
    // entry before writing anything. Needs a successful ReadLinesForRewrite; releases
    // the file either way, except when an entry cannot be encoded (then nothing has
    // happened yet).
    RewriteResult WriteRewrite(const std::vector<std::wstring>& newEntries,
                               const std::map<int, std::optional<std::string>>& lineEdits = {});

    // Releases the file; does nothing when none is held.
    void Close();

private:
    bool Open(const std::wstring& path, bool forRewrite);
    bool ReadAll();

    void* file_ = nullptr;
    std::wstring fullPath_;
    bool forRewrite_ = false;
    bool absent_ = false;
    unsigned long openError_ = 0;
    mutable CStringArray lines_;
    std::string content_;
    bool crLfThroughout_ = true;  // every line in content_ ends with CR LF
    std::vector<std::pair<size_t, size_t>> spans_;  // offset and length of each line in content_
};
