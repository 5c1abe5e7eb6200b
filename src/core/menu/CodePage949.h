#pragma once
// Conversion between UTF-16 and code page 949 (the Korean double-byte code page the
// menu file is written in), independent of the system's own ANSI code page.
#include <optional>
#include <string>

// Strict encoding: no best-fit substitutes, no default character. Returns the index in
// text of the first character code page 949 cannot hold (bytes is then unspecified),
// or std::nullopt when every character can be held and bytes holds the encoding.
std::optional<size_t> EncodeCp949(const std::wstring& text, std::string& bytes);

// Decodes for display. Byte sequences that are not valid code page 949 come out as
// replacement characters, so the result is never to be encoded back into a file.
std::wstring DecodeCp949(const std::string& bytes);
std::wstring DecodeCp949(const char* bytes, size_t count);

// Index of the first character of a menu name that the menu file cannot hold: one code
// page 949 lacks, or a quote, which would end the field early and turn the module's line
// into one the host passes over. nullopt when every character can be written.
std::optional<size_t> FirstUnstorable(const std::wstring& menuName);

// The character (a whole surrogate pair) at index i of text.
char32_t CharacterAt(const std::wstring& text, size_t i);
