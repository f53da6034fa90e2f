// The shared tree rules over a store in memory whose objects can refuse to
// be listed, read or written, so that what the walks do on failure is seen
// apart from any platform.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/rules/Propagation.h"
#include "security/Sddl.h"

namespace vm::rules {
namespace {

class MemoryStore final : public SecurityStore {
  public:
    void Add(const std::wstring& path, const std::wstring& sddl, bool container) {
        StoredObject object;
        object.path = path;
        object.security = *SddlToDescriptor(sddl);
        object.isContainer = container;
        objects_[path] = object;
    }
    std::wstring Sddl(const std::wstring& path) const {
        return DescriptorToSddl(objects_.at(path).security);
    }
    const StoredObject& At(const std::wstring& path) const { return objects_.at(path); }

    Result<std::optional<StoredObject>> Parent(const StoredObject& object) override {
        size_t slash = object.path.rfind(L'\\');
        if (slash == std::wstring::npos)
            return std::optional<StoredObject>();
        return std::optional<StoredObject>(objects_.at(object.path.substr(0, slash)));
    }
    Result<std::vector<StoredObject>> Children(const StoredObject& folder) override {
        if (unlistable.count(folder.path))
            return Result<std::vector<StoredObject>>::Fail(err::kAccessDenied);
        std::vector<StoredObject> children;
        for (const auto& [path, object] : objects_) {
            size_t slash = path.rfind(L'\\');
            if (slash != std::wstring::npos && path.substr(0, slash) == folder.path) {
                children.push_back(object);
                if (unreadable.count(path))
                    children.back().readError = err::kInvalidSecurityDescriptor;
            }
        }
        return children;
    }
    Status WriteDacl(const StoredObject& object) override {
        if (refusesWrites.count(object.path))
            return Status::Fail(err::kAccessDenied);
        written.push_back(object.path);
        objects_[object.path].security = object.security;
        return Status::Ok();
    }
    uint32_t CheckAccess(const StoredObject& object, uint32_t) override {
        return denied.count(object.path) ? err::kAccessDenied : err::kSuccess;
    }

    std::set<std::wstring> unlistable, unreadable, refusesWrites, denied;
    std::vector<std::wstring> written;

  private:
    std::map<std::wstring, StoredObject> objects_;
};

// C: > Top (OICI Everyone) > {A (folder) > a.txt, Shut (protected) > s.txt, f.txt}
class PropagationRulesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        store.Add(L"C:", L"O:BAG:SYD:PAI(A;OICI;FA;;;BA)", true);
        store.Add(L"C:\\Top", L"O:BAG:SYD:PAI(A;OICI;FA;;;WD)", true);
        store.Add(L"C:\\Top\\A", L"O:BAG:SYD:AI(A;;FR;;;BU)(A;OICIID;FA;;;WD)", true);
        store.Add(L"C:\\Top\\A\\a.txt", L"O:BAG:SYD:AI(A;ID;FA;;;WD)", false);
        store.Add(L"C:\\Top\\Shut", L"O:BAG:SYD:PAI(A;;FA;;;SY)", true);
        store.Add(L"C:\\Top\\Shut\\s.txt", L"O:BAG:SYD:AI(A;ID;FA;;;SY)", false);
        store.Add(L"C:\\Top\\f.txt", L"O:BAG:SYD:AI(A;ID;FA;;;WD)", false);
    }

    Status WriteTop(const std::wstring& entries, const PropagationObserver& observer = {}) {
        return WriteDaclAndPropagate(store, store.At(L"C:\\Top"),
                                     AclSlot::With(*SddlToAcl(entries)), false, observer);
    }

    MemoryStore store;
};

TEST_F(PropagationRulesTest, ExplicitEntriesStayAndProtectedSubtreesAreLeftAlone) {
    ASSERT_TRUE(WriteTop(L"(A;OICI;FR;;;AU)").ok());
    // The top inherits from C: after its own entries.
    EXPECT_EQ(store.Sddl(L"C:\\Top"), L"O:BAG:SYD:AI(A;OICI;FR;;;AU)(A;OICIID;FA;;;BA)");
    EXPECT_EQ(store.Sddl(L"C:\\Top\\A"),
              L"O:BAG:SYD:AI(A;;FR;;;BU)(A;OICIID;FR;;;AU)(A;OICIID;FA;;;BA)");
    EXPECT_EQ(store.Sddl(L"C:\\Top\\A\\a.txt"), L"O:BAG:SYD:AI(A;ID;FR;;;AU)(A;ID;FA;;;BA)");
    EXPECT_EQ(store.Sddl(L"C:\\Top\\Shut\\s.txt"), L"O:BAG:SYD:AI(A;ID;FA;;;SY)");
    EXPECT_EQ(std::count(store.written.begin(), store.written.end(), L"C:\\Top\\Shut"), 0);
}

TEST_F(PropagationRulesTest, FailuresBelowArePassedOverAndTheFirstIsReturned) {
    store.refusesWrites.insert(L"C:\\Top\\A");
    store.unreadable.insert(L"C:\\Top\\f.txt");
    std::vector<std::pair<std::wstring, uint32_t>> told;
    Status status = WriteTop(L"(A;OICI;FR;;;AU)", [&](const StoredObject& object, uint32_t error) {
        told.emplace_back(object.path, error);
        return true;
    });
    EXPECT_EQ(status.error, err::kAccessDenied);
    // A folder that was not written keeps its subtree as it was.
    EXPECT_EQ(store.Sddl(L"C:\\Top\\A\\a.txt"), L"O:BAG:SYD:AI(A;ID;FA;;;WD)");
    EXPECT_EQ(store.Sddl(L"C:\\Top\\f.txt"), L"O:BAG:SYD:AI(A;ID;FA;;;WD)");
    EXPECT_NE(std::find(told.begin(), told.end(),
                        std::pair<std::wstring, uint32_t>{L"C:\\Top\\f.txt",
                                                          err::kInvalidSecurityDescriptor}),
              told.end());
    // The top itself was written first.
    EXPECT_EQ(store.written.front(), L"C:\\Top");
}

TEST_F(PropagationRulesTest, AFolderThatCannotBeListedFailsTheCallAfterTheRest) {
    store.unlistable.insert(L"C:\\Top\\A");
    EXPECT_EQ(WriteTop(L"(A;OICI;FR;;;AU)").error, err::kAccessDenied);
    EXPECT_EQ(store.Sddl(L"C:\\Top\\f.txt"), L"O:BAG:SYD:AI(A;ID;FR;;;AU)(A;ID;FA;;;BA)");
}

TEST_F(PropagationRulesTest, TheObserverCanStopTheWalk) {
    size_t heard = 0;
    Status status =
        WriteTop(L"(A;OICI;FR;;;AU)", [&](const StoredObject&, uint32_t) { return ++heard < 2; });
    EXPECT_EQ(status.error, 1223u);       // ERROR_CANCELLED
    EXPECT_EQ(store.written.size(), 3u);  // the top and the two objects heard of
}

TEST_F(PropagationRulesTest, ATreeResetReachesProtectedObjects) {
    ASSERT_TRUE(ResetTree(store, store.At(L"C:\\Top"),
                          AclSlot::With(*SddlToAcl(L"(A;OICI;FA;;;AU)")), false)
                    .ok());
    EXPECT_EQ(store.Sddl(L"C:\\Top\\Shut"), L"O:BAG:SYD:AI(A;OICIID;FA;;;AU)(A;OICIID;FA;;;BA)");
    EXPECT_EQ(store.Sddl(L"C:\\Top\\A"), L"O:BAG:SYD:AI(A;OICIID;FA;;;AU)(A;OICIID;FA;;;BA)");
}

TEST_F(PropagationRulesTest, InheritanceSourcesCountGenerationsAndNeedReadControl) {
    StoredObject file = store.At(L"C:\\Top\\A\\a.txt");
    auto acl = *SddlToAcl(L"(A;;FR;;;BU)(A;ID;FA;;;WD)(A;ID;FA;;;SY)");
    auto sources = InheritanceSources(store, file, acl);
    ASSERT_TRUE(sources.ok());
    ASSERT_EQ(sources->size(), 3u);
    EXPECT_EQ((*sources)[0].generationGap, 0);
    EXPECT_EQ((*sources)[1].generationGap, 2);
    EXPECT_EQ((*sources)[1].ancestorName, L"C:\\Top");
    EXPECT_EQ((*sources)[2].generationGap, -1);
    store.denied.insert(L"C:\\Top\\A");
    EXPECT_EQ(InheritanceSources(store, file, acl).error(), err::kAccessDenied);
}

TEST(NewOwnerRuleTest, RestorePrivilegeOrAGroupThatMayOwn) {
    Token token;
    token.user = Sid(5, {21, 1, 2, 3, 1001});
    token.groups.push_back({sids::Administrators(), true, false, true});
    EXPECT_EQ(CheckNewOwner(token, sids::Administrators()), err::kSuccess);
    EXPECT_EQ(CheckNewOwner(token, token.user), err::kSuccess);
    EXPECT_EQ(CheckNewOwner(token, sids::System()), err::kInvalidOwner);
    token.privileges.push_back({privilege::kRestore, true});
    EXPECT_EQ(CheckNewOwner(token, sids::System()), err::kSuccess);
}

}  // namespace
}  // namespace vm::rules
