#include "security/Rights.h"

namespace vm {
namespace {

struct GenericWidening {
    uint32_t genericBit;
    uint32_t specificBits;
};

// What each generic bit stands for when an entry is shown. Execute keeps the
// read bits (0x200A9) that show with it.
constexpr std::array<GenericWidening, 4> kWidening{{
    {access::kGenericAll, access::kFullControl},
    {access::kGenericRead, 0x20089},
    {access::kGenericWrite, 0x116},
    {access::kGenericExecute, 0x200A9},
}};

}  // namespace

std::wstring ResourceListItem(std::wstring_view list, size_t position) {
    for (size_t i = 0; i < position; ++i) {
        size_t semi = list.find(L';');
        if (semi == std::wstring_view::npos)
            return {};
        list.remove_prefix(semi + 1);
    }
    return std::wstring(list.substr(0, list.find(L';')));
}

std::wstring RightNamesResourceText() {
    return std::wstring(kRightNames);
}

std::wstring RightName(size_t index) {
    return index < kRightCount ? ResourceListItem(kRightNames, index) : std::wstring();
}

bool RightApplies(size_t index, bool isContainer) {
    return index < kRightCount && (isContainer || index != kDeleteChildRight);
}

RightSet RightsFromMask(uint32_t mask, bool isContainer) {
    RightSet rights{};
    bool full = (mask & access::kFullControl) == access::kFullControl;
    for (const auto& right : kRights) {
        if (!RightApplies(right.index, isContainer))
            continue;
        rights[right.index] = full || (right.index != kFullControlRight && (mask & right.bits));
    }
    return rights;
}

uint32_t MaskFromRights(const RightSet& rights, bool isContainer) {
    if (rights[kFullControlRight])
        return access::kFullControl;
    uint32_t mask = 0;
    for (const auto& right : kRights) {
        if (right.index != kFullControlRight && RightApplies(right.index, isContainer) &&
            rights[right.index])
            mask |= right.bits;
    }
    return mask;
}

uint32_t WidenGenericRights(uint32_t mask) {
    uint32_t widened = mask;
    for (const auto& generic : kWidening) {
        if (mask & generic.genericBit)
            widened |= generic.specificBits;
    }
    return widened;
}

std::wstring AceTypeText(uint8_t type) {
    if (type > 1)
        return {};
    return ResourceListItem(kAceTypeTexts, type);
}

const ScopeInfo* FindScope(uint8_t scopeValue) {
    for (const auto& scope : kScopes) {
        if (scope.value == scopeValue)
            return &scope;
    }
    return nullptr;
}

std::wstring ScopeText(uint8_t scopeValue) {
    const ScopeInfo* scope = FindScope(scopeValue);
    return scope ? std::wstring(scope->text) : std::wstring();
}

std::optional<uint8_t> ScopeFromCommand(uint32_t commandId) {
    for (const auto& scope : kScopes) {
        if (scope.commandId == commandId)
            return scope.value;
    }
    return std::nullopt;
}

std::optional<uint8_t> ScopeFromPosition(int position) {
    if (position < 0 || position >= static_cast<int>(kScopeCount))
        return std::nullopt;
    return kScopes[static_cast<size_t>(position)].value;
}

bool ScopeCovers(uint8_t outer, uint8_t inner) {
    const ScopeInfo* o = FindScope(outer);
    const ScopeInfo* i = FindScope(inner);
    return o && i && (i->targets & ~o->targets) == 0;
}

uint8_t ScopeUnion(uint8_t a, uint8_t b) {
    return static_cast<uint8_t>((a & b) | ((a | b) & 3));
}

std::wstring InheritedFromText(bool inherited, std::wstring_view ancestor) {
    if (!inherited)
        return {};
    if (ancestor.empty())
        return std::wstring(kParentObject);
    std::wstring text(ancestor);
    if (text.back() != L'\\')  // a drive root such as C:\ ends in one already
        text += L'\\';
    return text;
}

std::wstring AccessLevelText(AccessLevel level) {
    return ResourceListItem(kAccessLevelTexts, static_cast<size_t>(level));
}

}  // namespace vm
