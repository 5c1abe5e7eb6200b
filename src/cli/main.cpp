// tq2zul.exe: the installer of TQ2ZULSetup for deployment systems and module authors.
#include <windows.h>

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/Output.h"
#include "platform/FileBytes.h"
#include "platform/SystemLibrary.h"
#include "texts/Texts.h"

namespace {

std::vector<std::wstring> Wide(const std::vector<std::string>& texts)
{
    std::vector<std::wstring> wide;
    for (const std::string& text : texts)
        wide.push_back(FromUtf8(text));
    return wide;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    RestrictDllSearchToSystemFolder();
    // Arguments reach the parser as UTF-8, so any path or menu name survives.
    std::vector<std::string> args;
    for (int i = argc - 1; i >= 1; --i)
        args.push_back(ToUtf8(argv[i]));
    if (args.size() == 1 && (args[0] == "/?" || args[0] == "-?")) {
        Output(false, false, L"").Line(kCliUsage);
        return kExitDone;
    }

    CLI::App app("tq2zul", "tq2zul");
    app.set_help_flag();
    bool help = false, json = false, quiet = false, dryRun = false;
    std::string host, log, module, minVersion, menuName;
    std::vector<std::string> files, modules;
    app.add_flag("-h,--help", help);
    app.add_option("--host", host);
    app.add_flag("--json", json);
    app.add_option("--log", log);
    app.add_flag("--quiet", quiet);
    CLI::App* list = app.add_subcommand("list");
    list->add_option("module", module);
    list->add_option("--min-version", minVersion);
    CLI::App* check = app.add_subcommand("check");
    check->add_option("dll", files)->required();
    CLI::App* install = app.add_subcommand("install");
    install->add_option("dll", files)->required();
    CLI::Option* menuOption = install->add_option("--menu-name", menuName);
    install->add_flag("--dry-run", dryRun);
    CLI::App* uninstall = app.add_subcommand("uninstall");
    uninstall->add_option("module", modules)->required();
    CLI::App* undo = app.add_subcommand("undo");
    for (CLI::App* command : {list, check, install, uninstall, undo})
        command->fallthrough();
    try {
        app.parse(args);
        if (help || app.get_subcommands().empty()) {
            Output(false, false, L"").Line(kCliUsage);
            return help ? kExitDone : kExitUsage;
        }
    } catch (const CLI::ParseError& error) {
        Output(false, false, L"").Error(FromUtf8(error.what()) + L"\n" + kCliUsage);
        return kExitUsage;
    }

    Output out(json, quiet, FromUtf8(log));
    const CLI::App* command = app.get_subcommands().front();
    out.Document()["command"] = command->get_name();
    const std::wstring addIn = FindAddInFolder(FromUtf8(host));
    if (!addIn.empty())
        out.Document()["addInFolder"] = Json(addIn);
    int code = kExitFailed;
    if (command == list)
        code = ListCommand(out, addIn, FromUtf8(module), FromUtf8(minVersion));
    else if (command == check)
        code = CheckCommand(out, addIn, Wide(files));
    else if (command == install)
        code = InstallCommand(out, addIn, Wide(files),
                              menuOption->count() ? std::optional<std::wstring>(FromUtf8(menuName)) : std::nullopt, dryRun);
    else if (command == uninstall)
        code = UninstallCommand(out, addIn, Wide(modules));
    else if (command == undo)
        code = UndoCommand(out, addIn);
    return out.Finish(code);
}
