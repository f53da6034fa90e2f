#include "platform/rules/Propagation.h"

#include <algorithm>

#include "platform/rules/AceInheritance.h"
#include "platform/rules/GenericMapping.h"
#include "security/Rights.h"

namespace vm::rules {

namespace {

constexpr uint32_t kCancelledWalk = 1223;  // ERROR_CANCELLED

constexpr uint16_t kProtectedAutoInherited =
    sd_control::kDaclProtected | sd_control::kDaclAutoInherited;

std::vector<Ace> PassedOn(const StoredObject& parent, const StoredObject& child) {
    return InheritedEntries(parent.security.dacl, child.isContainer, child.security.owner,
                            child.security.group);
}

// The child's DACL after its parent changed: its explicit entries, then what
// the parent now passes on; auto-inherited, no longer protected.
void Rebuild(const StoredObject& parent, StoredObject& child) {
    child.security.dacl = RebuildDacl(child.security.dacl, PassedOn(parent, child));
    child.security.control = static_cast<uint16_t>(
        (child.security.control & ~sd_control::kDaclProtected) | sd_control::kDaclAutoInherited);
}

// A reset child: no explicit entries left, only what the parent passes on;
// auto-inherited, not protected.
void Reset(const StoredObject& parent, StoredObject& child) {
    child.security.dacl = RebuildDacl(AclSlot::With(Acl{}), PassedOn(parent, child));
    child.security.control = static_cast<uint16_t>(
        (child.security.control & ~sd_control::kDaclProtected) | sd_control::kDaclAutoInherited);
}

// The walk below top shared by propagation and reset: each object is
// rebuilt from its parent and written once; a folder is walked into when it
// was written. Propagation passes over protected objects and their subtree.
Status WalkBelow(SecurityStore& store, const StoredObject& top, bool reset,
                 const PropagationObserver& observer) {
    uint32_t firstError = 0;
    auto note = [&](const StoredObject& object, uint32_t error) {
        if (error && !firstError)
            firstError = error;
        return !observer || observer(object, error);
    };
    std::vector<StoredObject> stack{top};
    while (!stack.empty()) {
        StoredObject parent = std::move(stack.back());
        stack.pop_back();
        if (!parent.isContainer || parent.isReparsePoint)
            continue;  // nothing below it, or nothing this walk may enter
        auto children = store.Children(parent);
        if (!children.ok()) {
            // A folder that cannot be listed keeps its subtree as it was.
            if (!firstError)
                firstError = children.error();
            continue;
        }
        for (StoredObject& child : *children) {
            if (!reset && !child.readError && child.IsDaclProtected())
                continue;
            uint32_t error = child.readError;
            if (!error)
                error = store.CheckAccess(child, access::kReadControl | access::kWriteDac);
            if (!error) {
                if (reset)
                    Reset(parent, child);
                else
                    Rebuild(parent, child);
                Status written = store.WriteDacl(child);
                error = written.error;
            }
            if (!note(child, error))
                return Status::Fail(kCancelledWalk);
            if (!error && child.isContainer && !child.isReparsePoint)
                stack.push_back(std::move(child));
        }
    }
    return firstError ? Status::Fail(firstError) : Status::Ok();
}

// Whether an ancestor's entry is the inheritable source of an inherited one:
// same type, inheritable, same trustee (or a creator SID) and the same rights
// as written or after generic mapping.
bool IsSourceOf(const Ace& candidate, const Ace& inherited) {
    if (candidate.type != inherited.type)
        return false;
    if (!(candidate.flags & (ace_flag::kObjectInherit | ace_flag::kContainerInherit)))
        return false;
    bool creator = candidate.sid == sids::CreatorOwner() || candidate.sid == Sid(3, {1});
    if (!creator && candidate.sid != inherited.sid)
        return false;
    return candidate.mask == inherited.mask ||
           MapGenericFileRights(candidate.mask) == inherited.mask;
}

}  // namespace

namespace {

// The object's own write of WriteDaclAndPropagate and ResetTree.
Status WriteTop(SecurityStore& store, StoredObject& object, const AclSlot& dacl, bool isProtected) {
    if (isProtected) {
        // Taken as given; the object stops inheriting.
        object.security.dacl = dacl;
        object.security.control = static_cast<uint16_t>(
            (object.security.control & ~sd_control::kDaclBits) | kProtectedAutoInherited);
    } else {
        // Explicit entries first, then what the parent passes on; the
        // caller's entries marked inherited are dropped and rebuilt.
        auto parent = store.Parent(object);
        if (!parent.ok())
            return Status::Fail(parent.error());
        std::vector<Ace> inherited = *parent ? PassedOn(**parent, object) : std::vector<Ace>{};
        object.security.dacl = RebuildDacl(dacl, inherited);
        object.security.control = static_cast<uint16_t>(
            (object.security.control & ~sd_control::kDaclBits) | sd_control::kDaclAutoInherited);
    }
    return store.WriteDacl(object);
}

}  // namespace

Status WriteDaclAndPropagate(SecurityStore& store, StoredObject object, const AclSlot& dacl,
                             bool isProtected, const PropagationObserver& observer) {
    if (Status written = WriteTop(store, object, dacl, isProtected); !written.ok())
        return written;
    return PropagateInheritance(store, object, observer);
}

Status PropagateInheritance(SecurityStore& store, const StoredObject& top,
                            const PropagationObserver& observer) {
    return WalkBelow(store, top, false, observer);
}

Status ResetTree(SecurityStore& store, StoredObject object, const AclSlot& dacl, bool isProtected,
                 const PropagationObserver& observer) {
    uint32_t error = object.readError;
    if (!error)
        error = store.CheckAccess(object, access::kReadControl | access::kWriteDac);
    if (!error)
        error = WriteTop(store, object, dacl, isProtected).error;
    if (observer && !observer(object, error))
        return Status::Fail(kCancelledWalk);
    if (error)
        return Status::Fail(error);
    if (!object.isContainer || object.isReparsePoint)
        return Status::Ok();
    return WalkBelow(store, object, true, observer);
}

Result<std::vector<InheritedFrom>> InheritanceSources(SecurityStore& store,
                                                      const StoredObject& object, const Acl& acl) {
    using Sources = std::vector<InheritedFrom>;
    // The ancestors are read once, nearest first, as far as any entry needs.
    std::vector<StoredObject> ancestors;
    bool reachedRoot = false;
    auto ancestor = [&](size_t index) -> Result<const StoredObject*> {
        while (ancestors.size() <= index && !reachedRoot) {
            const StoredObject& below = ancestors.empty() ? object : ancestors.back();
            auto parent = store.Parent(below);
            if (!parent.ok())
                return Result<const StoredObject*>::Fail(parent.error());
            if (!*parent) {
                reachedRoot = true;
                break;
            }
            if (uint32_t denied = store.CheckAccess(**parent, access::kReadControl))
                return Result<const StoredObject*>::Fail(denied);
            ancestors.push_back(std::move(**parent));
        }
        return index < ancestors.size() ? &ancestors[index] : nullptr;
    };
    Sources sources;
    for (const Ace& ace : acl.aces) {
        InheritedFrom from;
        if (!ace.IsInherited()) {
            sources.push_back(from);
            continue;
        }
        from.generationGap = -1;
        for (size_t index = 0;; ++index) {
            auto at = ancestor(index);
            if (!at.ok())
                return Result<Sources>::Fail(at.error());
            if (!*at || !(*at)->security.dacl.acl)
                break;
            const auto& aces = (*at)->security.dacl.acl->aces;
            auto match = std::find_if(aces.begin(), aces.end(),
                                      [&](const Ace& a) { return IsSourceOf(a, ace); });
            if (match == aces.end())
                break;
            if (!match->IsInherited()) {
                from.generationGap = static_cast<int32_t>(index + 1);
                from.ancestorName = (*at)->path;
                break;
            }
        }
        sources.push_back(from);
    }
    return sources;
}

uint32_t CheckNewOwner(const Token& token, const Sid& owner) {
    if (token.Enabled(privilege::kRestore) || token.MayOwn(owner))
        return err::kSuccess;
    return err::kInvalidOwner;
}

}  // namespace vm::rules
