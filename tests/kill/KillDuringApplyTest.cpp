#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <thread>

#include "app/ModuleCatalogue.h"
#include "app/ModuleName.h"
#include "menu/CodePage949.h"
#include "menu/MenuFormat.h"
#include "platform/TempFile.h"
#include "support/AppDriver.h"
#include "support/ModuleFactory.h"
#include "support/TestSupport.h"

// Terminates the real program at many moments of an Apply that deploys 37 modules of a
// few MiB each and rewrites a menu file of a hundred lines, then checks that nothing is
// left half-written and that the program starts cleanly on what is left.
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int kKillRuns = 22;
constexpr int kLegacyEntries = 40;
constexpr size_t kModulePadding = 2u << 20;

std::string Cp949Line(const std::wstring& text)
{
    std::string bytes;
    EXPECT_FALSE(EncodeCp949(text, bytes).has_value()) << Utf8(text);
    return bytes + "\r\n";
}

class KillHost {
public:
    KillHost()
    {
        CreateDirectoryW(source_.c_str(), nullptr);
        ModuleCatalogue catalogue;
        catalogue.FillCatalogue();
        for (int i = 0; i < kCatalogueSize; ++i) {
            // Each module carries a catalogue name of its own, so it is deployed under it.
            const std::wstring name = catalogue.names.GetAt(i);
            const std::wstring stem = ModuleStem(name);
            const std::wstring description = L"모듈 " + std::to_wstring(i + 1);
            MakeModuleDll(source_ + L"\\" + name, {stem + L".dll", description, L"2.0.0." + std::to_wstring(i), true,
                                                    kModulePadding});
            WriteFileBytes(source_ + L"\\ap" + stem + L"_16.png", "picture of " + Utf8(stem));
            newFiles_[name] = ReadFileBytes(source_ + L"\\" + name);
            newFiles_[L"ap" + stem + L"_16.png"] = "picture of " + Utf8(stem);
            if (i % 4 == 0) {
                oldFiles_[name] = std::string(kModulePadding / 2, static_cast<char>('a' + i % 26));
                oldFiles_[L"ap" + stem + L"_16.png"] = "old picture";
            }
            newMenuTail_ += Cp949Line(ComposeMenuEntry(name, description));
            picked_ += L"\"" + source_ + L"\\" + name + L"\" ";
        }
        for (int i = 0; i < 100 - kLegacyEntries; ++i)
            oldMenu_ += i % 3 ? "; free text line " + std::to_string(i) + "\r\n" : "\r\n";
        for (int i = 0; i < kLegacyEntries; ++i) {
            wchar_t line[128];
            swprintf(line, std::size(line), L"\"Legacy%02d\" \"옛 메뉴 %d\" \"CAD\" \"REGULAR\"", i, i);
            oldMenu_ += Cp949Line(line);
        }
        SetHostRegistryValue(root_.Path());
    }
    ~KillHost() { DeleteHostRegistryKey(); }

    // The add-in folder as it was before any Apply.
    void Reset() const
    {
        RemoveTree(addIn_);
        CreateDirectoryW(addIn_.c_str(), nullptr);
        WriteFileBytes(Menu(), oldMenu_);
        for (const auto& [name, bytes] : oldFiles_)
            WriteFileBytes(addIn_ + L"\\" + name, bytes);
    }

    std::wstring Menu() const { return addIn_ + L"\\zulmenu.txt"; }
    const std::string& OldMenu() const { return oldMenu_; }
    std::string NewMenu() const { return oldMenu_ + newMenuTail_; }
    const std::wstring& Picked() const { return picked_; }

    // Every file of the add-in folder must be the menu file, a tool temporary file, or a
    // target that is the old or the whole new file. Returns what is wrong, if anything.
    std::string CheckTargets(int& newTargets) const
    {
        std::string wrong;
        newTargets = 0;
        for (const auto& [name, bytes] : newFiles_) {
            std::wstring path = addIn_ + L"\\" + name;
            if (!FileExists(path))
                continue;
            std::string now = ReadFileBytes(path);
            auto old = oldFiles_.find(name);
            if (now == bytes)
                ++newTargets;
            else if (old == oldFiles_.end() || now != old->second)
                wrong += Utf8(name) + " is partial (" + std::to_string(now.size()) + " bytes); ";
        }
        for (const auto& [name, bytes] : oldFiles_)
            if (!FileExists(addIn_ + L"\\" + name))
                wrong += Utf8(name) + " was lost; ";
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((addIn_ + L"\\*").c_str(), &data);
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L".." || name == L"zulmenu.txt" || newFiles_.count(name) ||
                IsToolTempName(name))
                continue;
            wrong += "unexpected file " + Utf8(name) + "; ";
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return wrong;
    }

    int TempFiles() const
    {
        int count = 0;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((addIn_ + L"\\~tq2zul-*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return 0;
        do
            count += IsToolTempName(data.cFileName);
        while (FindNextFileW(find, &data));
        FindClose(find);
        return count;
    }

private:
    TempDir root_;
    std::wstring addIn_ = root_ / L"zul_ap";
    std::wstring source_ = root_ / L"modules";
    std::string oldMenu_, newMenuTail_;
    std::wstring picked_;
    std::map<std::wstring, std::string> oldFiles_, newFiles_;
};

// Starts the program on the host and brings it to the moment before Apply: every
// module added through the file dialog.
HWND StartWithPendingModules(const KillHost& host, RunningApp& app)
{
    HWND dialog = DismissWarningAndFindDialog(app);
    if (!dialog || !AddThroughFileDialog(app, dialog, host.Picked()))
        return nullptr;
    HWND list = GetDlgItem(dialog, 1013);
    bool ready = WaitFor([&] { return RemoteListItemCount(list) == kLegacyEntries + kCatalogueSize; });
    return ready ? dialog : nullptr;
}

// Presses a button and returns once its handler has run: BM_CLICK is sent through to
// the handler, so the call comes back when it has.
bool PressAndWait(HWND dialog, int id)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_NORMAL, 120000, &ignored) != 0;
}

}  // namespace

TEST(KillDuringApply, MenuAndModulesAreAlwaysOldOrWholeNew)
{
    KillHost host;

    // A full run first: it tells when an Apply replaces the menu file and proves the
    // new state.
    host.Reset();
    milliseconds menuTime{};
    {
        RunningApp app(BuiltExePath());
        HWND dialog = StartWithPendingModules(host, app);
        ASSERT_NE(dialog, nullptr) << "could not bring the program to a pending Apply";
        auto start = Clock::now();
        PressButton(dialog, IDCANCEL);
        ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(host.Menu()) == host.NewMenu(); }, std::chrono::minutes(3)));
        menuTime = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
        HWND list = GetDlgItem(dialog, 1013);
        ASSERT_TRUE(WaitFor([&] { return RemoteListItemText(list, kLegacyEntries, 0).empty(); }))
            << "the list was not reloaded";
        int newTargets = 0;
        EXPECT_EQ(host.CheckTargets(newTargets), "");
        EXPECT_EQ(newTargets, 2 * kCatalogueSize);
    }

    int runs = 0, oldMenus = 0, newMenus = 0, partial = 0;
    auto killAt = [&](milliseconds delay) {
        host.Reset();
        {
            RunningApp app(BuiltExePath());
            HWND dialog = StartWithPendingModules(host, app);
            ASSERT_NE(dialog, nullptr) << "run " << runs;
            PressButton(dialog, IDCANCEL);
            std::this_thread::sleep_for(delay);  // the moment of the kill is what is tested
            app.Kill();
        }
        ++runs;
        std::string menu = ReadFileBytes(host.Menu());
        int newTargets = 0;
        std::string wrong = host.CheckTargets(newTargets);
        if (menu == host.OldMenu())
            ++oldMenus;
        else if (menu == host.NewMenu())
            ++newMenus;
        else
            wrong += "menu file is neither old nor new (" + std::to_string(menu.size()) + " bytes); ";
        if (!wrong.empty())
            ++partial;
        EXPECT_EQ(wrong, "") << "run " << runs << ", killed " << delay.count() << " ms after Apply";

        // The next start loads what is there; its Apply clears what the killed one left.
        RunningApp again(BuiltExePath());
        HWND dialog = DismissWarningAndFindDialog(again);
        ASSERT_NE(dialog, nullptr) << "run " << runs << ": no clean start after the kill";
        HWND list = GetDlgItem(dialog, 1013);
        int expectedRows = menu == host.NewMenu() ? kLegacyEntries + kCatalogueSize : kLegacyEntries;
        EXPECT_EQ(RemoteListItemCount(list), expectedRows) << "run " << runs;
        EXPECT_TRUE(PressAndWait(dialog, IDCANCEL));
        EXPECT_EQ(host.TempFiles(), 0) << "run " << runs << ": temporary files survived the next Apply";
        EXPECT_EQ(ReadFileBytes(host.Menu()), menu) << "an Apply with nothing pending changes no byte";
        PressButton(dialog, IDOK);
        EXPECT_TRUE(again.WaitForExit(std::chrono::seconds(20)));
    };

    // Moments spread from the click to half again the time the menu file took to be
    // replaced, the last step that writes; a machine slower than at calibration gets
    // later kills until one lands after the replacement.
    for (int run = 0; run < kKillRuns; ++run)
        killAt(milliseconds(menuTime.count() * 3 * run / (2 * (kKillRuns - 1))));
    for (auto delay = menuTime * 2; newMenus == 0 && delay < menuTime * 64 && !HasFatalFailure(); delay *= 2)
        killAt(delay);

    std::printf("kill test: menu replaced %lld ms after the click; runs %d, old %d, new %d, partial %d\n",
                static_cast<long long>(menuTime.count()), runs, oldMenus, newMenus, partial);
    EXPECT_EQ(partial, 0);
    EXPECT_GT(oldMenus, 0) << "no kill landed before the menu file was replaced";
    EXPECT_GT(newMenus, 0) << "no kill landed after the menu file was replaced";
}
