#include "app/Texts.h"

namespace vm {

namespace {

bool IsPlaceholderAt(std::wstring_view text, size_t at) {
    return at + 1 < text.size() && text[at] == L'%' &&
           (text[at + 1] == L's' || text[at + 1] == L'd');
}

}  // namespace

std::wstring FillPlaceholders(std::wstring_view pattern,
                              std::initializer_list<std::wstring_view> values) {
    std::wstring out;
    out.reserve(pattern.size());
    const std::wstring_view* next = values.begin();
    for (size_t at = 0; at < pattern.size(); ++at) {
        if (IsPlaceholderAt(pattern, at) && next != values.end()) {
            out += *next++;
            ++at;
        } else {
            out += pattern[at];
        }
    }
    return out;
}

}  // namespace vm
