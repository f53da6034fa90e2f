#include "app/ItemFailures.h"

#include "app/Texts.h"
#include "resources/strings.h"

namespace vm {

namespace {

std::vector<ItemFailure> OfKind(const std::vector<ItemFailure>& failures, bool leftWithoutDacl) {
    std::vector<ItemFailure> kind;
    for (const ItemFailure& failure : failures) {
        if (failure.leftWithoutDacl == leftWithoutDacl)
            kind.push_back(failure);
    }
    return kind;
}

}  // namespace

std::wstring FailureMessage(Platform& platform, const std::vector<ItemFailure>& failures,
                            bool leftWithoutDacl) {
    std::wstring lines;
    for (size_t i = 0; i < failures.size() && i < kListedFailures; ++i) {
        if (!lines.empty())
            lines += L'\n';
        lines += FillPlaceholders(L"" STR_FAILURE_LINE,
                                  {failures[i].path, platform.ErrorText(failures[i].error)});
    }
    if (failures.size() > kListedFailures)
        lines += L'\n' + FillPlaceholders(L"" STR_MORE_FAILURES,
                                          {std::to_wstring(failures.size() - kListedFailures)});
    return FillPlaceholders(leftWithoutDacl ? L"" STR_ITEMS_LEFT_OPEN : L"" STR_ITEMS_NOT_CHANGED,
                            {lines});
}

void ReportItemFailures(Platform& platform, Reporter& reporter,
                        const std::vector<ItemFailure>& failures) {
    const std::vector<ItemFailure> open = OfKind(failures, true);
    if (!open.empty())
        reporter.Tell(FailureMessage(platform, open, true), MessageIcon::kWarning);
    const std::vector<ItemFailure> unchanged = OfKind(failures, false);
    if (!unchanged.empty())
        reporter.Tell(FailureMessage(platform, unchanged, false), MessageIcon::kError);
}

}  // namespace vm
