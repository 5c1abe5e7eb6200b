#include "texts/Messages.h"

#include <cwchar>
#include <iterator>

#include "texts/Texts.h"
#include "platform/Paths.h"

namespace {

std::wstring NumberedList(const std::wstring& heading, const std::vector<std::wstring>& lines)
{
    std::wstring text = heading;
    for (size_t i = 0; i < lines.size(); ++i)
        text += L"[" + std::to_wstring(i + 1) + L"]. " + lines[i] + L"\n";
    return text;
}

std::wstring FailureReason(const FailedCopy& failed)
{
    switch (failed.reason) {
    case CopyFailure::SourceMissing:
        return kReasonSourceMissing;
    case CopyFailure::AccessDenied:
        return kReasonAccessDenied;
    case CopyFailure::InUse:
        return kReasonInUse;
    case CopyFailure::DiskFull:
        return kReasonDiskFull;
    case CopyFailure::ReadOnly:
        return kReasonReadOnly;
    case CopyFailure::NameNotAllowed:
        return kReasonNameNotAllowed;
    case CopyFailure::Other:
        break;
    }
    return kReasonOtherError + std::to_wstring(failed.systemError);
}

std::wstring DescribeProblem(const ModuleProblem& problem)
{
    std::wstring text = problem.module + L": ";
    if (problem.noFreeName)
        return text + kNoFreeName;
    text += kFilesNotCopied;
    for (size_t i = 0; i < problem.failedCopies.size(); ++i) {
        const FailedCopy& failed = problem.failedCopies[i];
        text += (i ? L", " : L"") + failed.targetName + L"(" + FailureReason(failed) + L")";
    }
    return text;
}

}  // namespace

std::wstring DescribeCharacter(char32_t c)
{
    wchar_t code[16];
    swprintf(code, std::size(code), L"U+%04X", static_cast<unsigned>(c));
    if (c < 0x20 || (c >= 0x7F && c < 0xA0))
        return code;
    std::wstring shown;
    if (c > 0xFFFF) {
        shown += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        shown += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        shown += static_cast<wchar_t>(c);
    }
    return L"'" + shown + L"' (" + code + L")";
}

std::wstring DescribeSkipped(const std::wstring& module, const SkippedCopy& copy)
{
    return module + L": " + FileNameOf(copy.source) + L" -> " + copy.targetName + L"(" +
           (copy.reason == SkipReason::SameTarget ? kSkippedSameTarget : kSkippedOtherModule) + L")";
}

std::wstring StatusLabel(RowStatus status)
{
    switch (status) {
    case RowStatus::Added:
        return kStatusAddedLabel;
    case RowStatus::Replaced:
        return kStatusReplacedLabel;
    case RowStatus::Loaded:
        break;
    }
    return {};
}

std::wstring Refused32BitMessage(const std::vector<std::wstring>& fileNames)
{
    return fileNames.empty() ? std::wstring() : NumberedList(kRefused32BitHeading, fileNames);
}

std::wstring MenuNotWritableMessage(ApplyResult result, MenuFailure failure)
{
    std::wstring text = kMenuFileNotWritableMessage;
    if (result == ApplyResult::NoHost)
        return text + L"\n" + kCauseNoHost;
    if (failure == MenuFailure::Held)
        return text + L"\n" + kCauseHeld;
    if (failure == MenuFailure::NoPermission)
        return text + L"\n" + kCauseNoPermission;
    return text;
}

std::vector<std::wstring> ApplyMessages(const ApplyOutcome& outcome)
{
    std::vector<std::wstring> messages;
    switch (outcome.result) {
    case ApplyResult::NoHost:
    case ApplyResult::MenuFileNotWritable:
        messages.push_back(MenuNotWritableMessage(outcome.result, outcome.menuFailure));
        break;
    case ApplyResult::UnencodableText: {
        std::vector<std::wstring> lines;
        for (const UnencodableEntry& bad : outcome.unencodable)
            lines.push_back(bad.module + L": " + DescribeCharacter(bad.character));
        messages.push_back(NumberedList(kUnencodableHeading, lines));
        break;
    }
    case ApplyResult::Applied:
        break;
    }
    if (!outcome.skipped.empty()) {
        std::vector<std::wstring> lines;
        for (const SkippedFile& skipped : outcome.skipped)
            lines.push_back(DescribeSkipped(skipped.module, skipped.copy));
        messages.push_back(NumberedList(kSkippedHeading, lines));
    }
    if (!outcome.problems.empty()) {
        std::vector<std::wstring> lines;
        for (const ModuleProblem& problem : outcome.problems)
            lines.push_back(DescribeProblem(problem));
        messages.push_back(NumberedList(kNotInstalledHeading, lines));
    }
    return messages;
}
