#pragma once
// Every word the program shows, in its windows and on the console, but for the captions
// of the dialog template (res/SetupDialog.rc). Messages are composed in Messages.cpp.

// Shown at every start, before the dialog appears.
inline constexpr wchar_t kHostRunningWarning[] =
    L"TOLVAN-QUORAL2 가 구동되어 있으면, 정상 설치가 안됩니다. \nTOLVAN-QUORAL2 를 종료해주세요.";
inline constexpr wchar_t kRefused32BitHeading[] = L"아래 모듈은 32Bit이므로 Load할수 없습니다.\n";
inline constexpr wchar_t kEmptyMenuNameMessage[] = L"메뉴명칭은 반드시 들어가야합니다.";
inline constexpr wchar_t kMenuFileNotWritableMessage[] = L"zulMenu.txt 파일을 수정할수 없습니다.";
// Its second line, where the cause is known.
inline constexpr wchar_t kCauseNoHost[] = L"TOLVAN-QUORAL2 설치 위치를 레지스트리에서 찾지 못했습니다.";
inline constexpr wchar_t kCauseHeld[] = L"다른 프로그램이 파일을 사용 중입니다. TOLVAN-QUORAL2 를 종료한 뒤 다시 적용하세요.";
inline constexpr wchar_t kCauseNoPermission[] = L"파일을 쓸 권한이 없습니다. 관리자 권한으로 실행하세요.";
inline constexpr wchar_t kUnencodableHeading[] =
    L"아래 모듈의 메뉴 항목에 zulMenu.txt에 쓸수 없는 문자가 있어 적용하지 않았습니다.\n";
inline constexpr wchar_t kNotInstalledHeading[] = L"아래 모듈은 제대로 설치되지 않았습니다.\n";
// Files of a module's folder left out so that nothing overwrites another module's file.
inline constexpr wchar_t kSkippedHeading[] = L"아래 파일은 다른 파일을 덮어쓰게 되어 복사하지 않았습니다.\n";
inline constexpr wchar_t kSkippedSameTarget[] = L"모듈 파일이 같은 이름으로 복사됨";
inline constexpr wchar_t kSkippedOtherModule[] = L"다른 모듈의 파일";

// Each heading is followed by one line per item: "[1]. item\n", "[2]. item\n", ...

// Parts of the lines of the "not installed" list.
inline constexpr wchar_t kNoFreeName[] = L"남은 모듈 이름이 없어 설치하지 않았습니다";
inline constexpr wchar_t kFilesNotCopied[] = L"복사하지 못한 파일 ";
inline constexpr wchar_t kReasonSourceMissing[] = L"원본 파일 없음";
inline constexpr wchar_t kReasonAccessDenied[] = L"사용 중이거나 권한 없음";
inline constexpr wchar_t kReasonInUse[] = L"다른 프로그램이 사용 중";
inline constexpr wchar_t kReasonDiskFull[] = L"디스크 공간 부족";
inline constexpr wchar_t kReasonReadOnly[] = L"읽기 전용";
inline constexpr wchar_t kReasonNameNotAllowed[] = L"허용되지 않는 파일 이름";
inline constexpr wchar_t kReasonOtherError[] = L"오류 ";

// Row statuses as the list shows them; a loaded row shows none.
inline constexpr wchar_t kStatusAddedLabel[] = L"추가";
inline constexpr wchar_t kStatusReplacedLabel[] = L"교체";

// The module list's column headings, in column order.
inline constexpr const wchar_t* kColumnHeadings[] = {L"상태", L"dll명칭", L"메뉴명칭", L"버젼"};

// The add-module file dialog's filter: a description and its pattern, bar-separated.
inline constexpr wchar_t kModuleFileFilter[] = L"dll file (*.dll) | *.dll; ||";

// tq2zul.exe, the console front end. Outcomes it shares with the dialog use the texts
// above; these are its own.
inline constexpr wchar_t kCliUsage[] =
    L"tq2zul: installs ZUL modules into TOLVAN-QUORAL2 as the TQ2ZULSetup dialog does.\n"
    L"\n"
    L"usage: tq2zul <command> [options]\n"
    L"  list [<module> [--min-version V]]   installed modules; with a module: exit 0 when it is\n"
    L"                                      installed with its DLL present (at least version V)\n"
    L"  check <dll>...                      what install would do with these DLLs; changes nothing\n"
    L"  install <dll>... [--menu-name TEXT] [--dry-run]\n"
    L"                                      add the modules and apply, as \"ZUL 모듈 추가\" then \"적용\"\n"
    L"  uninstall <module>...               remove the modules' menu lines and their files\n"
    L"  undo                                put back what the last change (install, Apply,\n"
    L"                                      uninstall) changed\n"
    L"options: --host PATH (instead of the registry)  --json  --log FILE  --quiet\n"
    L"exit codes: 0 done, 1 failed, 2 usage, 3 host not found, 4 module refused (32-bit or\n"
    L"  unwritable name), 5 partly installed, 6 not installed, 7 no permission,\n"
    L"  1618 menu file or module in use (close TOLVAN-QUORAL2, retry)\n";
inline constexpr wchar_t kCliNotInstalled[] = L"설치되어 있지 않습니다.";
inline constexpr wchar_t kCliDllMissing[] = L"DLL 없음";
inline constexpr wchar_t kCliOlderVersion[] = L"버전이 낮습니다.";
inline constexpr wchar_t kCliAlreadyInstalled[] = L"같은 버전이 이미 설치되어 있습니다.";
inline constexpr wchar_t kCliNothingToApply[] = L"적용할 것이 없습니다.";
inline constexpr wchar_t kCliInstalled[] = L"설치했습니다.";
inline constexpr wchar_t kCliRemoved[] = L"제거했습니다.";
inline constexpr wchar_t kCliUndone[] = L"마지막 변경을 되돌렸습니다.";
inline constexpr wchar_t kCliNothingToUndo[] = L"되돌릴 변경이 없습니다.";
inline constexpr wchar_t kCliDryRun[] = L"(--dry-run: 아무것도 쓰지 않았습니다.)";
inline constexpr wchar_t kCliNotAFile[] = L"파일이 없습니다.";
// Labels of "check", one per line of its report.
inline constexpr wchar_t kCheckMachine[] = L"machine";
inline constexpr wchar_t kCheckModuleName[] = L"module name";
inline constexpr wchar_t kCheckMatchKey[] = L"match key";
inline constexpr wchar_t kCheckInstalledAs[] = L"installed as";
inline constexpr wchar_t kCheckMenuLine[] = L"menu line";
inline constexpr wchar_t kCheckCopy[] = L"copy";
inline constexpr wchar_t kCheckWarning[] = L"warning";
// Warnings of "check".
inline constexpr wchar_t kWarn32Bit[] = L"32Bit 모듈이므로 설치되지 않습니다.";
inline constexpr wchar_t kWarnNoInternalName[] =
    L"InternalName이 없습니다: 모듈 이름이 \"ap\"뿐이라 다시 설치해도 같은 모듈로 알아볼 수 없습니다.";
inline constexpr wchar_t kWarnUnstorable[] = L"메뉴 항목에 zulMenu.txt에 쓸수 없는 문자가 있습니다: ";
inline constexpr wchar_t kWarnReplaces[] = L"이미 설치된 모듈을 교체합니다.";
