// Reading and rewriting large menu files (1 entry in 100 lines, the rest free text),
// against a plain read plus write of the same bytes.
#include <cstdio>

#include "core/menu/CiStTextFile.h"
#include "menu_bench.h"

namespace {

std::string MakeMenu(int lines)
{
    std::string text;
    for (int i = 0; i < lines; ++i) {
        const std::string n = std::to_string(i);
        if (i % 100 == 0)
            text.append("\"Module").append(n).append("\" \"\xB8\xDE\xB4\xBA ").append(n).append("\" \"CAD\" \"REGULAR\"");
        else
            text.append("; free text line ").append(n).append(" \xC7\xD1\xB1\xDB with some words after it");
        text.append("\r\n");
    }
    return text;
}

void PlainReadWrite(const std::wstring& from, const std::wstring& to)
{
    HANDLE in = CreateFileW(from.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size{};
    GetFileSizeEx(in, &size);
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD done = 0;
    ReadFile(in, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(in);
    HANDLE out = CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    WriteFile(out, bytes.data(), done, &done, nullptr);
    FlushFileBuffers(out);
    CloseHandle(out);
}

}  // namespace

int main()
{
    TempDir folder;
    const std::wstring menu = folder / L"zulmenu.txt", copy = folder / L"copy.txt";
    std::printf("menu files of 1 entry per 100 lines, median of 15 runs\n"
                "  read = open, read, decode; rewrite = read, write a flushed copy, swap it in;\n"
                "  plain = read the file, write its bytes to another file, flush\n");
    std::printf("  %8s %12s %12s %12s %8s\n", "lines", "read ns/ln", "rewrite ns/ln", "plain ns/ln", "ratio");
    for (int lines : {10000, 50000, 100000}) {
        const std::string bytes = MakeMenu(lines);
        WriteFileBytes(menu, bytes);
        std::vector<double> reads, rewrites, plains;
        for (int i = 0; i < 15; ++i) {
            reads.push_back(ElapsedNs([&] {
                CiStTextFile file;
                file.ReadLines(menu);
                file.GetLines();
            }));
            rewrites.push_back(ElapsedNs([&] {
                CiStTextFile file;
                if (!file.ReadLinesForRewrite(menu) || !file.WriteRewrite({}).ok)
                    throw std::runtime_error("rewrite failed");
            }));
            plains.push_back(ElapsedNs([&] { PlainReadWrite(menu, copy); }));
        }
        CiStTextFile check;
        check.ReadLines(menu);
        if (check.GetLines().GetSize() != lines)
            throw std::runtime_error("the rewrite changed the line count");
        const double read = Median(reads) / lines, rewrite = Median(rewrites) / lines, plain = Median(plains) / lines;
        std::printf("  %8d %12.1f %12.1f %12.1f %8.2f\n", lines, read, rewrite, plain, rewrite / plain);
    }
    return 0;
}
