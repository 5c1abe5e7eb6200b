#pragma once
// Where tq2zul.exe writes: text lines for people (Unicode on a console, UTF-8 when
// redirected, so Hangul survives both), or one JSON document for scripts, and an
// optional log of every file written.
#include <nlohmann/json.hpp>

#include <string>

class Output {
public:
    Output(bool json, bool quiet, std::wstring logPath);

    // A line for people; nothing with --json or --quiet.
    void Line(const std::wstring& text) const;
    // A line on standard error; nothing with --json (the document carries it).
    void Error(const std::wstring& text);
    // Appends a timestamped record "<command> <what> <path>" to the log, if there is one.
    void Wrote(const std::wstring& command, const std::wstring& path, const std::wstring& what = L"wrote") const;

    nlohmann::json& Document() { return document_; }
    // Ends the run: with --json prints the document with the exit code. Returns code.
    int Finish(int code);

private:
    bool json_;
    bool quiet_;
    std::wstring logPath_;
    nlohmann::json document_ = nlohmann::json::object();
};

// UTF-8 for a JSON value.
std::string Json(const std::wstring& text);
