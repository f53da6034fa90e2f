#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "advanced/ProgressMailbox.h"

namespace vm {
namespace {

TEST(ProgressMailbox, ManyEntriesReachTheWindowAsTheLatestNewsOnce) {
    int closes = 0;
    ProgressMailbox mailbox([&] { ++closes; });
    PropagationProgress progress(mailbox);
    progress.Counted(4000, 1000);
    progress.ApplyingStarted();
    for (int32_t i = 1; i <= 4999; ++i) {
        progress.EntryStarted(L"f" + std::to_wstring(i));
        progress.EntryDone(i, 5000);
    }
    auto news = mailbox.Take();
    ASSERT_TRUE(news.has_value());
    EXPECT_EQ(news->appendedCountText, L" (4000 Files, 1000 Folders)");
    EXPECT_TRUE(news->restartAnimation);
    EXPECT_EQ(news->entryName, std::optional<std::wstring>(L"f4999"));
    EXPECT_EQ(news->percent, std::optional<int32_t>(99));
    EXPECT_FALSE(mailbox.Take().has_value());  // nothing new since
    EXPECT_EQ(closes, 0);

    progress.EntryDone(5000, 5000);  // the bar reaches 100: the window is told to close
    EXPECT_EQ(closes, 1);
    progress.NotReached({L"C:\\T\\Locked"});
    progress.Finished();
    EXPECT_EQ(closes, 2);
    news = mailbox.Take();
    ASSERT_TRUE(news.has_value());
    EXPECT_EQ(news->percent, std::optional<int32_t>(100));
    EXPECT_EQ(news->notReached, std::vector<std::wstring>{L"C:\\T\\Locked"});
    EXPECT_FALSE(news->entryName.has_value());
}

TEST(ProgressMailbox, TheWindowEndsWithTheWorkersLastWord) {
    ProgressMailbox mailbox;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (int32_t i = 1; i <= 20000; ++i)
            mailbox.SetPercent(i % 101);
        done = true;
    });
    std::optional<int32_t> last;
    while (!done) {
        if (auto news = mailbox.Take())
            last = news->percent;
    }
    worker.join();
    if (auto news = mailbox.Take())
        last = news->percent;
    EXPECT_EQ(last, std::optional<int32_t>(20000 % 101));
}

}  // namespace
}  // namespace vm
