// CBookmarkMangerDlg: the "Bookmark Manager" (template 170), modal and
// resizable. It lists the bookmarks of the index (CBookmarkList), renames
// them in place and removes the selected ones; nothing is written until it
// closes ("Close", Esc or the close box), when the file is rewritten from
// the rows in list order and the index is loaded again.
#pragma once

#include "app/AppContext.win32.h"
#include "bookmarks/BookmarkList.win32.h"
#include "bookmarks/BookmarkManagerModel.h"
#include "framework/Dialog.h"

namespace vm {

class CBookmarkMangerDlg : public CDialog {
  public:
    explicit CBookmarkMangerDlg(AppContext& app);

    const BookmarkManagerModel& model() const { return model_; }
    CBookmarkList& List() { return list_; }

  protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    bool OnMessage(Message& m, LRESULT& result) override;
    void OnDpiChanged(int oldDpi, int newDpi) override;

  private:
    static std::span<const Route<CBookmarkMangerDlg>> Routes();
    LRESULT OnRemove(Message& m);
    LRESULT OnSelectionChanged(Message& m);
    LRESULT OnEndLabelEdit(Message& m);
    LRESULT OnSize(Message& m);
    LRESULT OnGetMinMaxInfo(Message& m);
    LRESULT OnEraseBackground(Message& m);
    LRESULT OnPaint(Message& m);

    void FillList();
    void LayOut();
    void SaveRows();

    AppContext& app_;
    BookmarkManagerModel model_;
    CBookmarkList list_;
};

}  // namespace vm
