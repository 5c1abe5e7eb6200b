#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/ModuleCatalogue.h"
#include "app/ModuleTable.h"
#include "menu/Apply.h"
#include "menu/CiStTextFile.h"
#include "menu/Deploy.h"
#include "menu/MenuLoader.h"
#include "modules/ModuleIntake.h"
#include "platform/FileCopy.h"
#include "platform/LongPath.h"
#include "support/ModuleFactory.h"
#include "support/TestList.h"
#include "support/TestSupport.h"
#include "hostile/HostileRandom.h"
#include "hostile/MenuGenerators.h"

namespace {

// Creates every missing folder along a full path, at any length.
void MakeFolders(const std::wstring& path)
{
    for (size_t slash = path.find(L'\\', 3); ; slash = path.find(L'\\', slash + 1)) {
        CreateDirectoryW(LongPathForm(path.substr(0, slash)).c_str(), nullptr);
        if (slash == std::wstring::npos)
            return;
    }
}

// Grows base by the given folder names, in turn and over again, to at least length.
std::wstring DeepFolder(std::wstring base, std::initializer_list<const wchar_t*> names, size_t length)
{
    while (base.size() < length)
        for (const wchar_t* name : names)
            if (base.size() < length)
                base += std::wstring(L"\\") + name;
    MakeFolders(base);
    return base;
}

std::string Read(const std::wstring& path)
{
    return ReadFileBytes(LongPathForm(path));
}

std::set<std::wstring> FileSet(const std::wstring& folder)
{
    std::vector<std::wstring> names = FilesIn(folder);
    return {names.begin(), names.end()};
}

struct DeepTree {
    TempDir dir;
    std::wstring top = dir / L"deep";
    // Removed through the verbatim form, as it lies too deep for a plain path.
    ~DeepTree() { RemoveTree(L"\\\\?\\" + top); }
};

}  // namespace

TEST(LongPathForm, LeavesShortPathsAndTurnsLongOnesIntoFullVerbatimPaths)
{
    EXPECT_EQ(LongPathForm(L""), L"");
    EXPECT_EQ(LongPathForm(L"C:\\Tools/zul_ap\\..\\x.txt"), L"C:\\Tools/zul_ap\\..\\x.txt") << "short: as it was";
    const std::wstring shortest(MAX_PATH - 13, L'a');
    EXPECT_EQ(LongPathForm(shortest), shortest);

    const std::wstring name(120, L'n');
    const std::wstring messy = L"C:\\" + name + L"/" + name + L"\\.\\skip\\..\\" + name + L"/zulmenu.txt";
    EXPECT_EQ(LongPathForm(messy), L"\\\\?\\C:\\" + name + L"\\" + name + L"\\" + name + L"\\zulmenu.txt")
        << "separators made \\, . and .. resolved: the verbatim form takes neither";

    const std::wstring unc = L"\\\\server\\share\\" + name + L"\\" + name + L"\\" + name;
    EXPECT_EQ(LongPathForm(unc), L"\\\\?\\UNC\\server\\share\\" + name + L"\\" + name + L"\\" + name);

    const std::wstring verbatim = L"\\\\?\\C:\\" + name + L"/" + name + L"/" + name;
    EXPECT_EQ(LongPathForm(verbatim), verbatim) << "a verbatim path is never touched";

    wchar_t current[4096];
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(std::size(current)), current);
    ASSERT_GT(n, 2u);
    std::wstring base(current, n);
    if (base.back() != L'\\')
        base += L'\\';
    EXPECT_EQ(LongPathForm(name + L"\\" + name + L"\\" + name), L"\\\\?\\" + base + name + L"\\" + name + L"\\" + name)
        << "a long relative path is made full";
}

TEST(LongPaths, FileOperationsWorkOnEitherSideOfTheLengthLimits)
{
    // Menu files, copies and folders whose paths pass MAX_PATH (and the 248 of
    // CreateDirectoryW) one character at a time, so that every path derived from them
    // (the temporary file beside, the folders along) crosses the limits somewhere.
    DeepTree tree;
    const std::wstring source = tree.dir / L"module source.dll";
    WriteFileBytes(source, "module bytes");
    const std::wstring menuName = L"\\zulmenu.txt";
    for (size_t length = MAX_PATH - 20; length <= MAX_PATH + 8; ++length) {
        const std::wstring folder = DeepFolder(tree.top + L"\\" + std::to_wstring(length), {L"한글 폴더.v1"},
                                               length - menuName.size() - 12);
        const std::wstring padded = folder + L"\\" + std::wstring(length - menuName.size() - folder.size() - 1, L'p');
        MakeFolders(padded);
        const std::wstring menu = padded + menuName;
        ASSERT_EQ(menu.size(), length);
        const std::string label = "path length " + std::to_string(length);

        for (const wchar_t* entry : {L"\"First\" \"한글\" \"CAD\" \"REGULAR\"", L"\"Second\" \"x\" \"CAM\" \"REGULAR\""}) {
            CiStTextFile file;
            ASSERT_TRUE(file.ReadLinesForRewrite(menu)) << label;
            EXPECT_TRUE(file.WriteRewrite({entry}).ok) << label;
            if (entry[1] == L'F')
                SetFileAttributesW(LongPathForm(menu).c_str(), FILE_ATTRIBUTE_HIDDEN);
        }
        EXPECT_EQ(GetFileAttributesW(LongPathForm(menu).c_str()) & FILE_ATTRIBUTE_HIDDEN, DWORD{FILE_ATTRIBUTE_HIDDEN})
            << label << ": a rewrite keeps the file's attributes";
        EXPECT_EQ(Read(menu), "\"First\" \"\xC7\xD1\xB1\xDB\" \"CAD\" \"REGULAR\"\r\n\"Second\" \"x\" \"CAM\" \"REGULAR\"\r\n")
            << label;
        CiStTextFile again;
        EXPECT_TRUE(again.ReadLines(menu)) << label;
        EXPECT_EQ(again.GetLines().GetSize(), 2) << label;
        again.Close();

        const std::wstring target = padded + L"\\apTarget.dll";
        EXPECT_EQ(CopyFileWhole(source, target), 0u) << label;
        EXPECT_EQ(CopyFileWhole(source, target), 0u) << label << ": over an existing target";
        EXPECT_EQ(Read(target), "module bytes") << label;
        EXPECT_EQ(FileSet(padded), (std::set<std::wstring>{L"apTarget.dll", L"zulmenu.txt"}))
            << label << ": no temporary file stays";

        std::wstring slashed = padded + L"\\new\\zul_ap";
        std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
        EXPECT_FALSE(FolderExists(slashed)) << label;
        CreateFolderChain(slashed);
        EXPECT_TRUE(FolderExists(slashed + L"/")) << label << ": every level created, through / separators";
    }
}

TEST(LongPaths, IntakeApplyAndLoadWithDeepNonAsciiFoldersAndALongMenuName)
{
    // A host installed 300 characters deep among folder names in Hangul and other
    // scripts, with spaces and dots; modules picked from a folder as deep; one module
    // whose description, and so its menu name, is 4,000 characters long.
    DeepTree tree;
    const std::wstring host = DeepFolder(tree.top, {L"Program Files", L"노르발 시스템즈.Inc", L"TOLVAN-QUORAL2 v2.0",
                                                    L"Ünïcödé ÆØÅ 汉字 폴더"}, 300 - 7);
    const std::wstring addIn = host + L"\\zul_ap";
    ASSERT_GE(addIn.size(), 300u);
    ASSERT_FALSE(FolderExists(addIn)) << "Apply makes the add-in folder";
    const std::wstring source =
        DeepFolder(tree.top + L"\\모듈 원본.d", {L"내려받은 모듈 (최신)", L"v1.2.3 build"}, 280);

    HostileRandom rng(CaseSeed(20, 0));
    DualText longName;
    while (longName.wide.size() < 4000)
        longName.Append(RandomWord(rng));

    struct Module {
        std::wstring file, internalName, description;
        std::vector<std::wstring> companions;
    };
    const Module modules[] = {
        {L"apInterSnap.dll", L"InterSnap.dll", longName.wide, {}},
        {L"apWidget.dll", L"Widget.dll", L"한글 메뉴", {L"apWidget_16.png", L"apWidget 설명서.v1.txt", L"unrelated.png"}},
        {L"ap그림 도구.dll", L"그림 도구.dll", L"메뉴", {L"ap그림 도구_32.png"}},
    };
    std::vector<std::wstring> picked;
    for (const Module& m : modules) {
        const std::wstring path = source + L"\\" + m.file;
        const std::wstring made = tree.dir / L"made.dll";
        MakeModuleDll(made, {m.internalName, m.description, L"2.0.0.7"});
        ASSERT_TRUE(MoveFileExW(made.c_str(), LongPathForm(path).c_str(), 0)) << Utf8(path);
        for (const std::wstring& companion : m.companions)
            WriteFileBytes(LongPathForm(source + L"\\" + companion), "content of " + Utf8(companion));
        picked.push_back(path);
    }

    TestList list;
    ModuleTable table(list.List());
    ModuleCatalogue catalogue;
    catalogue.FillCatalogue();
    EXPECT_EQ(IntakeSelectedFiles(table, picked), L"") << "all three are 64-bit";
    ASSERT_EQ(table.GetCount(), 3);
    EXPECT_EQ(table.GetRow(0).moduleName, L"apInterSnap.dll") << "version strings read through a deep path";
    EXPECT_EQ(table.GetRow(0).menuName, longName.wide);
    EXPECT_EQ(table.GetRow(2).moduleName, L"ap그림 도구.dll");

    const ApplyOutcome outcome = ApplyPendingModules(table, catalogue, addIn);
    ASSERT_EQ(outcome.result, ApplyResult::Applied);
    EXPECT_TRUE(outcome.problems.empty()) << Utf8(ApplyMessages(outcome).empty() ? L"" : ApplyMessages(outcome)[0]);
    EXPECT_EQ(FileSet(addIn),
              (std::set<std::wstring>{L"zulmenu.txt", L"apInterSnap.dll", L"apDraftAssist.dll", L"apDraftAssist_16.png",
                                      L"apWidget 설명서.v1.txt", L"apCamToolpath.dll", L"apCamToolpath_32.png"}));
    EXPECT_EQ(Read(addIn + L"\\apDraftAssist.dll"), Read(source + L"\\apWidget.dll"));
    EXPECT_EQ(Read(addIn + L"\\apCamToolpath_32.png"), "content of " + Utf8(L"ap그림 도구_32.png"));
    EXPECT_EQ(Read(addIn + L"\\zulmenu.txt"), "\"InterSnap\" \"" + longName.bytes + "\" \"CAD\" \"INTERRUPT\"\r\n"
                                              "\"DraftAssist\" \"\xC7\xD1\xB1\xDB \xB8\xDE\xB4\xBA\" \"CAD\" \"REGULAR\"\r\n"
                                              "\"CamToolpath\" \"\xB8\xDE\xB4\xBA\" \"CAM\" \"REGULAR\"\r\n");

    LoadMenuFile(addIn, table, catalogue);
    ASSERT_EQ(table.GetCount(), 3);
    EXPECT_EQ(table.GetRow(0).menuName, longName.wide) << "the 4,000-character menu name reads back whole";
    EXPECT_EQ(table.GetRow(0).sourcePath, addIn + L"\\apInterSnap.dll");
    EXPECT_EQ(table.GetRow(1).moduleName, L"apWidget.dll") << "the deployed DLL is inspected at its deep path";
    EXPECT_EQ(table.GetRow(2).moduleName, L"ap그림 도구.dll");
    EXPECT_EQ(table.GetRow(2).dllFileName, L"apCamToolpath.dll");
}
