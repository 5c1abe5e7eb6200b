#pragma once
// Whole files as bytes, and text as UTF-8: what small records such as a journal need.
#include <optional>
#include <string>

// The bytes of the file at path; nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::wstring& path);

// Creates the file at path (failing when one exists), writes bytes and flushes them to
// the disk. False, with nothing left, on any failure.
bool WriteNewFileThrough(const std::wstring& path, const std::string& bytes);

// Whether the file at path could be opened for writing now: 0, or the Windows error code
// (a sharing violation for a DLL a running host has loaded or a file another program holds).
unsigned long CheckWritable(const std::wstring& path);

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& bytes);
