#pragma once
// The texts of the message boxes that tell the user what an operation came to.
#include <string>
#include <vector>

#include "core/apply/Apply.h"
#include "core/table/ModuleTable.h"

// The label of a status in the list's status column.
std::wstring StatusLabel(RowStatus status);

// The message naming refused 32-bit files; empty when none was refused.
std::wstring Refused32BitMessage(const std::vector<std::wstring>& fileNames);

// "zulMenu.txt 파일을 수정할수 없습니다." with a second line naming the cause, if known.
std::wstring MenuNotWritableMessage(ApplyResult result, MenuFailure failure);

// A character the menu file cannot hold, for people: "'😀' (U+1F600)", or "U+0009".
std::wstring DescribeCharacter(char32_t c);

// The line telling one skipped file: "module: source -> target(reason)".
std::wstring DescribeSkipped(const std::wstring& module, const SkippedCopy& copy);

// The texts to show after Apply, each in its own box, in this order; none after a
// clean run.
std::vector<std::wstring> ApplyMessages(const ApplyOutcome& outcome);
