#include <gtest/gtest.h>

#include <cstdint>

#include "core/modules/CiStFileInformation.h"
#include "core/modules/ModuleIntake.h"
#include "core/modules/ModuleMachine.h"
#include "core/modules/RowEditing.h"
#include "support/ModuleFactory.h"
#include "Scene.h"

namespace {

std::vector<std::wstring> Strings(const CiStFileInformation& info)
{
    const VersionStrings& s = info.GetStrings();
    return {s.CompanyName,    s.FileDescription,  s.FileVersion, s.InternalName,
            s.LegalCopyright, s.OriginalFilename, s.ProductName, s.ProductVersion};
}

// The start of an image: the header offset at 0x3C, there "PE\0\0" and the machine field.
std::string ImageHead(uint32_t offset, uint16_t machine, size_t size = 0x100)
{
    std::string bytes(size, '\0');
    bytes.replace(0, 2, "MZ");
    for (int i = 0; i < 4; ++i)
        bytes[0x3C + i] = static_cast<char>(offset >> (8 * i));
    if (offset + 6 <= bytes.size()) {
        bytes.replace(offset, 4, std::string("PE\0\0", 4));
        bytes[offset + 4] = static_cast<char>(machine);
        bytes[offset + 5] = static_cast<char>(machine >> 8);
    }
    return bytes;
}

}  // namespace

TEST(FileInformation, ReadsTheKoreanTableAndNothingElse)
{
    TempDir dir;
    const std::vector<std::wstring> full = {L"샘플 제작소", L"샘플 모듈", L"2.3.0.7", L"SampleFull.dll",
                                            L"(C) 샘플 팀", L"apSampleFull.dll", L"샘플 제품", L"2.3.0.8"};
    CiStFileInformation info(FixturePath(L"apSampleFull.dll"));
    EXPECT_TRUE(info.GetStatus());
    EXPECT_EQ(Strings(info), full);
    EXPECT_EQ(info.GetInternalName() + info.GetFileDescription() + info.GetProductVersion(),
              L"SampleFull.dll샘플 모듈2.3.0.8");
    EXPECT_EQ(CiStFileInformation(FixturePath(L"apSample32.dll")).GetInternalName(), L"Sample32.dll");

    CiStFileInformation noCompany(FixturePath(L"apSampleNoCompany.dll"));
    EXPECT_FALSE(noCompany.GetStatus()) << "one key missing";
    EXPECT_EQ(Strings(noCompany)[0], L"");
    EXPECT_EQ(Strings(noCompany)[3], L"SampleNoCompany.dll");

    // A version resource cut in half: what it holds, and nothing past the data.
    const std::string resource = BuildVersionResource(L"041204b0", ModuleVersionStrings({L"Damaged.dll", L"손상"}));
    CopyBareModule(dir / L"apHalf.dll", true);
    StampResource(dir / L"apHalf.dll", kResourceTypeVersion, 1, kLanguageKorean, resource.substr(0, resource.size() / 2));
    CiStFileInformation half(dir / L"apHalf.dll");
    EXPECT_FALSE(half.GetStatus());
    EXPECT_EQ(Strings(half), (std::vector<std::wstring>{L"샘플 제작소", L"손상", L"1.0.0.1", L"", L"", L"", L"", L""}));

    // A value whose terminator was overwritten: empty, not run on into what follows.
    std::string unterminated = resource;
    const std::wstring text = L"손상";
    const size_t at = unterminated.find(std::string(reinterpret_cast<const char*>(text.c_str()), 6));
    unterminated.replace(at + 4, 2, std::string("X\0", 2));
    StampResource(dir / L"apHalf.dll", kResourceTypeVersion, 1, kLanguageKorean, unterminated);
    EXPECT_EQ(Strings(CiStFileInformation(dir / L"apHalf.dll")), (std::vector<std::wstring>{L"샘플 제작소", L"", L"1.0.0.1",
        L"Damaged.dll", L"(C) 샘플 팀", L"apDamaged.dll", L"샘플 제품", L"1.0.0.1"}));

    // Other tables, no resource, no module: every string empty, even after a good read.
    WriteFileBytes(dir / L"notes.txt", "not a module");
    CopyBareModule(dir / L"apOther.dll", true);
    StampResource(dir / L"apOther.dll", kResourceTypeVersion, 1, kLanguageKorean,
                  BuildVersionResource(L"041204e4", ModuleVersionStrings({L"Other.dll", L"다른 표"})));
    for (const std::wstring& path : {FixturePath(L"apSampleEnglish.dll"), FixturePath(L"apSampleNoVersion.dll"),
                                     dir / L"apOther.dll", dir / L"notes.txt", dir / L"missing.dll", std::wstring()}) {
        EXPECT_EQ(info.ReadVersionStrings(path), 0) << Utf8(path);
        EXPECT_EQ(Strings(info), std::vector<std::wstring>(8)) << Utf8(path);
        EXPECT_EQ(info.ReadVersionStrings(FixturePath(L"apSampleFull.dll")), 1);
    }
}

TEST(ModuleMachine, ClassifiesByTheMachineFieldAloneAndLetsGoOfTheFile)
{
    TempDir dir;
    const struct {
        const char* name;
        std::string bytes;
        int expected;  // 1: 64-bit, 0: 32-bit, -1: not classified
    } cases[] = {
        {"x64", ImageHead(0x80, 0x8664), 1},          {"itanium", ImageHead(0x80, 0x200), 1},
        {"x86", ImageHead(0x80, 0x14C), 0},           {"inside the DOS header", ImageHead(0x10, 0x8664), 1},
        {"arm64", ImageHead(0x80, 0xAA64), -1},       {"byte-swapped", ImageHead(0x80, 0x6486), -1},
        {"empty", "", -1},                            {"cut before the field", ImageHead(0x80, 0x8664).substr(0, 0x85), -1},
        {"offset past the end", ImageHead(0x10000, 0x8664), -1},
        {"negative offset", ImageHead(0xFFFFFFF0u, 0x8664), -1},
        {"no signature", std::string(0x100, 'x'), -1},
    };
    for (const auto& c : cases) {
        const std::wstring path = dir / std::wstring(c.name, c.name + strlen(c.name));
        WriteFileBytes(path, c.bytes);
        int is64Bit = 7;
        const bool classified = CheckModuleMachine(path, is64Bit);
        EXPECT_EQ(classified ? is64Bit : -1, c.expected) << c.name;
        EXPECT_EQ(classified || is64Bit == 7, true) << c.name << ": changed on failure";
        HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << c.name << ": still open";
        CloseHandle(h);
    }
    int is64Bit = 7;
    EXPECT_TRUE(CheckModuleMachine(FixturePath(L"apSample32.dll"), is64Bit) && is64Bit == 0);
    EXPECT_FALSE(CheckModuleMachine(dir.Path(), is64Bit) || CheckModuleMachine(dir / L"missing", is64Bit));
}

TEST(Intake, PickedAndDroppedFilesBecomeRowsAnd32BitOnesAreRefused)
{
    Scene scene;
    const auto module = [&](const std::wstring& file, const std::wstring& internal, const std::wstring& menu,
                            bool is64Bit = true, const std::wstring& version = L"1.0.0.1") {
        MakeModuleDll(scene.dir / file, {internal, menu, version, is64Bit});
        return scene.dir / file;
    };
    const std::vector<std::wstring> refused = IntakeSelectedFiles(
        scene.table, {module(L"apOne.dll", L"One.dll", L"첫째", true, L"2.1.0.0"), module(L"apOld32.dll", L"Old.dll", L"x", false),
                      module(L"MyTool.dll", L"Three.dll", L"셋째"), module(L"apAlso32.dll", L"Also.dll", L"x", false)});
    EXPECT_EQ(refused, (std::vector<std::wstring>{L"apOld32.dll", L"apAlso32.dll"}));
    ASSERT_EQ(scene.table.GetCount(), 2);
    const ModuleRow& one = scene.table.GetRow(1);
    EXPECT_EQ(one.status, RowStatus::Added);
    EXPECT_EQ(one.dllFileName + L"|" + one.moduleName + L"|" + one.menuName, L"MyTool.dll|apThree.dll|셋째");
    EXPECT_EQ(one.sourcePath, scene.dir / L"MyTool.dll");
    EXPECT_EQ(scene.table.GetShown(0).version, L"2.1.0.0");

    // Drops: only names ending in ".dll", never a folder, 32-bit refused as well.
    CreateDirectoryW((scene.dir / L"apFolder.dll").c_str(), nullptr);
    EXPECT_EQ(IntakeDroppedFiles(scene.table, {module(L"A.DLL", L"Upper.dll", L"u"), module(L"a.dll.txt", L"T.dll", L"t"),
                                               scene.dir / L"apFolder.dll", scene.dir / L"apOld32.dll"}),
              std::vector<std::wstring>{L"apOld32.dll"});
    EXPECT_EQ(scene.table.GetCount(), 3);
    for (const wchar_t* path : {L"C:\\m\\x.Dll", L"C:\\my files\\a b.dll"})
        EXPECT_TRUE(HasDllExtension(path)) << Utf8(path);
    for (const wchar_t* path : {L"C:\\m.dll\\x", L"C:\\m\\x.dll ", L"C:\\m\\xdll"})
        EXPECT_FALSE(HasDllExtension(path)) << Utf8(path);

    // A second file of a module: an installed row turns replaced, a pending one takes it.
    scene.table.AppendRow({RowStatus::Loaded, L"apDraftAssist.dll", L"apSnapper.dll", L"설치된 메뉴", L"C:\\h\\x.dll"}, L"1");
    std::vector<std::wstring> none;
    const std::wstring newer = module(L"apSnapper2.dll", L"SNAPPER.DLL", L"새 설명", true, L"3.0.0.0");
    EXPECT_EQ(IntakeModuleFile(scene.table, newer, none), IntakeResult::Replaced);
    const ModuleRow& replaced = scene.table.GetRow(3);
    EXPECT_EQ(replaced.status, RowStatus::Replaced);
    EXPECT_EQ(replaced.dllFileName + L"|" + replaced.moduleName + L"|" + replaced.menuName + L"|" + replaced.sourcePath,
              L"apDraftAssist.dll|apSnapper.dll|설치된 메뉴|" + newer) << "the installed names stay";
    EXPECT_EQ(scene.table.GetShown(3).moduleName + L"|" + scene.table.GetShown(3).menuName, L"apSNAPPER.DLL|새 설명");
    CreateDirectoryW((scene.dir / L"v2").c_str(), nullptr);
    EXPECT_EQ(IntakeModuleFile(scene.table, module(L"v2\\apOne.dll", L"one.dll", L"again"), none), IntakeResult::Refreshed);
    EXPECT_EQ(scene.table.GetRow(0).status, RowStatus::Added) << "a module not installed yet still gets its entry";
    EXPECT_EQ(scene.table.GetRow(0).sourcePath + scene.table.GetShown(0).menuName, scene.dir / L"v2\\apOne.dll" + L"again");

    // Files without an InternalName ("ap" alone) never take another row, installed or not.
    scene.table.AppendRow({RowStatus::Loaded, L"apNoTable.dll", L"ap", L"x", L"C:\\h\\apNoTable.dll"}, L"");
    WriteFileBytes(scene.dir / L"plain1.dll", "no version");
    WriteFileBytes(scene.dir / L"plain2.dll", "no version either");
    for (const wchar_t* plain : {L"plain1.dll", L"plain2.dll"})
        EXPECT_EQ(IntakeModuleFile(scene.table, scene.dir / plain, none), IntakeResult::Added) << Utf8(plain);
    EXPECT_EQ(scene.table.GetRow(4).status, RowStatus::Loaded);

    // An installed module deleted from the list and chosen again replaces its installed row.
    EXPECT_EQ(DeleteSelectedRows(scene.table, {3}), std::vector<int>{3});
    EXPECT_EQ(IntakeModuleFile(scene.table, newer, none), IntakeResult::Replaced);
    EXPECT_EQ(scene.table.GetRow(6).status, RowStatus::Replaced);
    EXPECT_EQ(scene.table.GetRow(6).dllFileName + scene.table.GetRow(6).menuName, L"apDraftAssist.dll설치된 메뉴");
    EXPECT_EQ(scene.table.GetCount(), 7);
    EXPECT_TRUE(none.empty());
}

TEST(RowEditing, DeletesSelectedRowsButTheProtectedOneAndStoresOnlyNonEmptyMenuNames)
{
    ModuleTable table;
    for (const wchar_t* dll : {L"apA.dll", L"APMORVANE.DLL", L"apC.dll", L"apD.dll"})
        table.AppendRow({RowStatus::Loaded, dll, dll, L"menu", L""}, L"");
    EXPECT_EQ(DeleteSelectedRows(table, {0, 1, 3, 3, 9, -1}), (std::vector<int>{3, 0}));
    ASSERT_EQ(table.GetCount(), 2);
    EXPECT_EQ(table.GetRow(0).dllFileName + table.GetRow(1).dllFileName, L"APMORVANE.DLLapC.dll");

    EXPECT_TRUE(StoreEditedMenuName(table, 1, kColumnMenuName, L"새 이름") == CellEditDecision::Stored &&
                StoreEditedMenuName(table, 1, kColumnMenuName, L"") == CellEditDecision::RefusedEmpty);
    EXPECT_EQ(table.GetRow(1).menuName + table.GetShown(1).menuName, L"새 이름새 이름");
    for (const auto& [row, column] : {std::pair{1, kColumnModuleName}, {2, kColumnMenuName}, {-1, kColumnMenuName}})
        EXPECT_EQ(StoreEditedMenuName(table, row, column, L"x"), CellEditDecision::Ignored) << row << "," << column;
    EXPECT_EQ(table.GetRow(1).menuName, L"새 이름");
}
