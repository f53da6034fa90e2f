#include "platform/rules/AceInheritance.h"

#include <algorithm>

#include "platform/Platform.h"
#include "platform/rules/GenericMapping.h"

namespace vm::rules {

namespace {

const Sid& CreatorGroupSid() {
    static const Sid sid(3, {1});
    return sid;
}

bool IsCreatorSid(const std::optional<Sid>& sid) {
    return sid && (*sid == sids::CreatorOwner() || *sid == CreatorGroupSid());
}

// The entry as it takes effect on the object: rights mapped, creator SIDs
// replaced (entries without the mask + SID layout are taken as they are).
Ace Effective(Ace ace, const std::optional<Sid>& owner, const std::optional<Sid>& group) {
    if (!ace.HasMaskSidLayout())
        return ace;
    ace.mask = MapGenericFileRights(ace.mask);
    if (ace.sid == sids::CreatorOwner() && owner)
        ace.sid = owner;
    else if (ace.sid == CreatorGroupSid() && group)
        ace.sid = group;
    return ace;
}

void AppendForFile(const Ace& parentAce, const std::optional<Sid>& owner,
                   const std::optional<Sid>& group, std::vector<Ace>& out) {
    if (!(parentAce.flags & ace_flag::kObjectInherit))
        return;
    Ace ace = parentAce;
    ace.flags = ace_flag::kInherited;
    out.push_back(Effective(ace, owner, group));
}

void AppendForFolder(const Ace& parentAce, const std::optional<Sid>& owner,
                     const std::optional<Sid>& group, std::vector<Ace>& out) {
    uint8_t flags = parentAce.flags;
    bool noPropagate = (flags & ace_flag::kNoPropagateInherit) != 0;
    Ace ace = parentAce;
    if (flags & ace_flag::kContainerInherit) {
        // Effective here; inheritable further unless NO_PROPAGATE_INHERIT.
        uint8_t keep =
            noPropagate ? 0 : (flags & (ace_flag::kObjectInherit | ace_flag::kContainerInherit));
        ace.flags = static_cast<uint8_t>(keep | ace_flag::kInherited);
        bool generic =
            ace.HasMaskSidLayout() && (HasGenericRights(ace.mask) || IsCreatorSid(ace.sid));
        if (keep != 0 && generic) {
            Ace effective = ace;
            effective.flags = ace_flag::kInherited;
            out.push_back(Effective(effective, owner, group));
            Ace inheritOnly = ace;
            inheritOnly.flags |= ace_flag::kInheritOnly;
            out.push_back(inheritOnly);
        } else {
            out.push_back(keep != 0 ? ace : Effective(ace, owner, group));
        }
        return;
    }
    if ((flags & ace_flag::kObjectInherit) && !noPropagate) {
        // Passed on to the folder's files only: inherit-only here, generic
        // rights kept for the files to map.
        ace.flags = static_cast<uint8_t>(ace_flag::kObjectInherit | ace_flag::kInheritOnly |
                                         ace_flag::kInherited);
        out.push_back(ace);
    }
}

uint8_t RevisionFor(const std::vector<Ace>& aces) {
    bool object = std::any_of(aces.begin(), aces.end(), [](const Ace& a) {
        return a.type == ace_type::kAccessAllowedObject || a.type == ace_type::kAccessDeniedObject;
    });
    return object ? kAclRevisionDs : kAclRevision;
}

Acl MakeAcl(std::vector<Ace> aces) {
    Acl acl;
    acl.revision = RevisionFor(aces);
    acl.aces = std::move(aces);
    return acl.Compacted();
}

bool IsExplicitOf(const Ace& ace, const Sid& trustee) {
    return !ace.IsInherited() && ace.sid && *ace.sid == trustee;
}

}  // namespace

std::vector<Ace> InheritedEntries(const AclSlot& parentDacl, bool childIsContainer,
                                  const std::optional<Sid>& childOwner,
                                  const std::optional<Sid>& childGroup) {
    std::vector<Ace> out;
    if (!parentDacl.acl)
        return out;
    for (const Ace& ace : parentDacl.acl->aces) {
        if (childIsContainer)
            AppendForFolder(ace, childOwner, childGroup, out);
        else
            AppendForFile(ace, childOwner, childGroup, out);
    }
    return out;
}

AclSlot RebuildDacl(const AclSlot& source, const std::vector<Ace>& inherited) {
    std::vector<Ace> aces;
    if (source.acl) {
        for (const Ace& ace : source.acl->aces) {
            if (!ace.IsInherited())
                aces.push_back(ace);
        }
    } else if (inherited.empty()) {
        return source;
    }
    aces.insert(aces.end(), inherited.begin(), inherited.end());
    return AclSlot::With(MakeAcl(std::move(aces)));
}

Result<Acl> MergeExplicitEntries(const std::vector<ResolvedAccess>& entries,
                                 const std::optional<Acl>& oldAcl) {
    std::vector<Ace> denies;
    std::vector<Ace> allows;
    std::vector<Ace> inherited;
    std::vector<Ace> others;
    if (oldAcl) {
        for (const Ace& ace : oldAcl->aces) {
            if (ace.IsInherited())
                inherited.push_back(ace);
            else if (ace.type == ace_type::kAccessDenied)
                denies.push_back(ace);
            else if (ace.type == ace_type::kAccessAllowed)
                allows.push_back(ace);
            else
                others.push_back(ace);
        }
    }
    std::vector<Ace> newDenies;
    std::vector<Ace> newAllows;
    for (const auto& entry : entries) {
        uint8_t flags = entry.inheritance & ace_flag::kInheritFlags;
        auto sameTrusteeAndFlags = [&](const Ace& a) {
            return IsExplicitOf(a, entry.trustee) && a.flags == flags;
        };
        uint32_t rights = entry.permissions;
        switch (entry.mode) {
            case access_mode::kNotUsed:
                continue;
            case access_mode::kGrant:
                for (const Ace& a : allows) {
                    if (sameTrusteeAndFlags(a))
                        rights |= a.mask;
                }
                std::erase_if(allows, sameTrusteeAndFlags);
                for (Ace& a : denies) {
                    if (IsExplicitOf(a, entry.trustee))
                        a.mask &= ~rights;
                }
                std::erase_if(denies, [](const Ace& a) { return a.mask == 0; });
                if (rights != 0)
                    newAllows.push_back(Ace::Allow(entry.trustee, rights, flags));
                break;
            case access_mode::kSet:
            case access_mode::kRevoke: {
                auto ofTrustee = [&](const Ace& a) { return IsExplicitOf(a, entry.trustee); };
                std::erase_if(allows, ofTrustee);
                std::erase_if(denies, ofTrustee);
                std::erase_if(newAllows, ofTrustee);
                std::erase_if(newDenies, ofTrustee);
                if (entry.mode == access_mode::kSet && rights != 0)
                    newAllows.push_back(Ace::Allow(entry.trustee, rights, flags));
                break;
            }
            case access_mode::kDeny:
                for (const Ace& a : denies) {
                    if (sameTrusteeAndFlags(a))
                        rights |= a.mask;
                }
                std::erase_if(denies, sameTrusteeAndFlags);
                if (rights != 0)
                    newDenies.push_back(Ace::Deny(entry.trustee, rights, flags));
                break;
            default:
                return Result<Acl>::Fail(err::kInvalidParameter);
        }
    }
    std::vector<Ace> aces;
    aces.insert(aces.end(), newDenies.begin(), newDenies.end());
    aces.insert(aces.end(), denies.begin(), denies.end());
    aces.insert(aces.end(), newAllows.begin(), newAllows.end());
    aces.insert(aces.end(), allows.begin(), allows.end());
    aces.insert(aces.end(), others.begin(), others.end());
    aces.insert(aces.end(), inherited.begin(), inherited.end());
    return MakeAcl(std::move(aces));
}

Result<Bytes> SetEntriesInAcl(const std::vector<ExplicitAccess>& entries, const OptionalAcl& oldAcl,
                              const ResolveName& resolve) {
    std::optional<Acl> old;
    if (oldAcl) {
        old = Acl::Parse(*oldAcl);
        if (!old)
            return Result<Bytes>::Fail(err::kInvalidAcl);
    }
    std::vector<ResolvedAccess> resolved;
    for (const auto& entry : entries) {
        if (entry.mode == access_mode::kNotUsed)
            continue;
        std::optional<Sid> sid = resolve(entry.trusteeName);
        if (!sid)
            return Result<Bytes>::Fail(err::kNoneMapped);
        resolved.push_back(
            {*sid, entry.permissions, entry.mode, static_cast<uint8_t>(entry.inheritance)});
    }
    auto merged = MergeExplicitEntries(resolved, old);
    if (!merged.ok())
        return Result<Bytes>::Fail(merged.error());
    return merged->ToBytes();
}

}  // namespace vm::rules
