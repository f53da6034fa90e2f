// The three answers to the inheritance question over a list of rows.
#include <gtest/gtest.h>

#include "security/Inheritance.h"

namespace vm {
namespace {

struct Row {
    std::wstring name;  // first column; empty for a rights-only row
    bool inherited = false;
    std::wstring inheritedFrom;
};

class VectorRows final : public InheritanceRows {
  public:
    explicit VectorRows(std::vector<Row> rows) : rows_(std::move(rows)) {}
    size_t RowCount() const override { return rows_.size(); }
    bool HasInheritedFrom(size_t row) const override { return !rows_[row].inheritedFrom.empty(); }
    bool IsEntryRow(size_t row) const override { return !rows_[row].name.empty(); }
    void ClearInheritedFlag(size_t row) override { rows_[row].inherited = false; }
    void ClearInheritedFrom(size_t row) override { rows_[row].inheritedFrom.clear(); }
    void DeleteRow(size_t row) override {
        deleted.push_back(rows_[row].name);
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    }
    const std::vector<Row>& rows() const { return rows_; }
    std::vector<std::wstring> deleted;

  private:
    std::vector<Row> rows_;
};

VectorRows SampleRows() {
    return VectorRows({{L"Alice", false, L""},
                       {L"Users", true, L"C:\\Data\\"},
                       {L"", true, L"C:\\Data\\"},  // rights row of the entry above
                       {L"Bob", false, L""},
                       {L"SYSTEM", true, L"Parent Object"}});
}

TEST(InheritanceRows, AskOnlyWhenSomeRowIsInherited) {
    EXPECT_TRUE(HasInheritedRows(SampleRows()));
    VectorRows explicitOnly({{L"Alice", false, L""}, {L"Bob", false, L""}});
    EXPECT_FALSE(HasInheritedRows(explicitOnly));
    EXPECT_FALSE(HasInheritedRows(VectorRows({})));
}

TEST(InheritanceRows, ConvertKeepsEveryRowAsExplicit) {
    VectorRows rows = SampleRows();
    ApplyInheritanceChoice(rows, InheritanceChoice::kConvert);
    ASSERT_EQ(rows.RowCount(), 5u);
    EXPECT_FALSE(HasInheritedRows(rows));
    EXPECT_FALSE(rows.rows()[1].inherited);
    EXPECT_TRUE(rows.rows()[2].inherited);  // rights rows keep their flag
    EXPECT_FALSE(rows.rows()[4].inherited);
}

TEST(InheritanceRows, RemoveDeletesInheritedRowsLastFirst) {
    VectorRows rows = SampleRows();
    ApplyInheritanceChoice(rows, InheritanceChoice::kRemove);
    ASSERT_EQ(rows.RowCount(), 2u);
    EXPECT_EQ(rows.rows()[0].name, L"Alice");
    EXPECT_EQ(rows.rows()[1].name, L"Bob");
    EXPECT_EQ(rows.deleted, (std::vector<std::wstring>{L"SYSTEM", L"", L"Users"}));
}

TEST(InheritanceRows, DoNotModifyLeavesRows) {
    VectorRows rows = SampleRows();
    ApplyInheritanceChoice(rows, InheritanceChoice::kDoNotModify);
    EXPECT_EQ(rows.RowCount(), 5u);
    EXPECT_TRUE(rows.rows()[1].inherited);
    EXPECT_TRUE(HasInheritedRows(rows));
}

}  // namespace
}  // namespace vm
