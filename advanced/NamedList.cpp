#include "advanced/NamedList.h"

#include "app/ItemFailures.h"
#include "app/Texts.h"
#include "resources/strings.h"

namespace vm {

std::wstring NamedListMessage(std::wstring_view pattern, const std::vector<std::wstring>& names) {
    std::wstring lines;
    for (size_t i = 0; i < names.size() && i < kListedFailures; ++i) {
        if (!lines.empty())
            lines += L'\n';
        lines += names[i];
    }
    if (names.size() > kListedFailures)
        lines += L'\n' + FillPlaceholders(L"" STR_MORE_FAILURES,
                                          {std::to_wstring(names.size() - kListedFailures)});
    return FillPlaceholders(pattern, {lines});
}

}  // namespace vm
