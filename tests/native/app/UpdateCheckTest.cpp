// The update check's decision over what a download brought back: a newer
// version, the same or an older one, and every way the check can fail, which
// must say that it failed and why instead of "no new version".
#include <gtest/gtest.h>

#include <string>

#include "app/ProductSite.h"
#include "app/VersionCheck.h"
#include "platform/Utf16.h"

namespace vm {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

UpdateDownload Answer(const std::string& body, int status = 200) {
    UpdateDownload download;
    download.httpStatus = status;
    download.statusText = status == 200 ? L"OK" : L"Not Found";
    download.body = Bytes(body);
    return download;
}

TEST(UpdateDecision, VersionFilesAreComparedWithOurOwn) {
    const UpdateOutcome newer = EvaluateUpdateDownload(Answer("[VER]\r\nNew=1.3.0.130\r\n"));
    EXPECT_EQ(newer.kind, UpdateOutcome::Kind::kNewer);
    EXPECT_EQ(newer.info.newVersion, L"1.3.0.130");
    EXPECT_EQ(EvaluateUpdateDownload(Answer("[VER]\nNew=1.3.0.129\n")).kind,
              UpdateOutcome::Kind::kNotNewer);
    EXPECT_EQ(EvaluateUpdateDownload(Answer("[VER]\nNew=1.2.9.200\n")).kind,
              UpdateOutcome::Kind::kNotNewer);
    EXPECT_EQ(EvaluateUpdateDownload(Answer("[ver]\nnew=2\n")).kind, UpdateOutcome::Kind::kNewer);
    // A version file in UTF-16 with its byte order mark reads the same.
    std::vector<uint8_t> wide = {0xFF, 0xFE};
    for (uint8_t b : ToUtf16LeBytes(L"[VER]\r\nNew=1.4\r\n"))
        wide.push_back(b);
    UpdateDownload utf16 = Answer("");
    utf16.body = wide;
    EXPECT_EQ(EvaluateUpdateDownload(utf16).kind, UpdateOutcome::Kind::kNewer);
    // A scheme without a status (0) counts as a whole answer.
    EXPECT_EQ(EvaluateUpdateDownload(Answer("[VER]\nNew=9\n", 0)).kind,
              UpdateOutcome::Kind::kNewer);
}

TEST(UpdateDecision, NotesBecomeLinesOfMessage198) {
    RecordingReporter reporter;
    reporter.ScriptAnswer(Answer::kNo);
    const UpdateOutcome outcome =
        EvaluateUpdateDownload(Answer("[VER]\nNew=1.4.0.1\nInfo=Faster lists;Fixes\n"));
    EXPECT_FALSE(TellUpdateOutcome(outcome, reporter));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.texts()[0],
              L"A new version of  Velmora (1.4.0.1) is available.\n\r\n\rFaster lists\n\rFixes"
              L"\n\r\n\rDo you want to download it?");
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kQuestion);
    EXPECT_EQ(reporter.messages()[0].buttons, MessageButtons::kYesNo);
    reporter.ScriptAnswer(Answer::kYes);
    EXPECT_TRUE(TellUpdateOutcome(outcome, reporter));
}

TEST(UpdateDecision, SameVersionTellsThatThereIsNone) {
    RecordingReporter reporter;
    EXPECT_FALSE(
        TellUpdateOutcome(EvaluateUpdateDownload(Answer("[VER]\nNew=1.3.0.129\n")), reporter));
    ASSERT_EQ(reporter.messages().size(), 1u);
    EXPECT_EQ(reporter.texts()[0], L"There is no new version available at this time!");
    EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kInformation);
}

// Each way the check can fail, with the reason the user reads.
TEST(UpdateDecision, ChecksThatCouldNotBeMadeSaySoAndWhy) {
    UpdateDownload noSession;
    noSession.step = UpdateDownload::Step::kOpenSession;
    noSession.error = 12001;
    noSession.errorText = L"No more handles could be generated at this time.\r\n";
    UpdateDownload unreachable;
    unreachable.step = UpdateDownload::Step::kOpenUrl;
    unreachable.error = 12029;  // ERROR_INTERNET_CANNOT_CONNECT, no text from the system
    UpdateDownload brokeOff;
    brokeOff.step = UpdateDownload::Step::kRead;
    brokeOff.error = 12030;
    brokeOff.errorText = L"The connection with the server was terminated abnormally";
    UpdateDownload tooLarge;
    tooLarge.step = UpdateDownload::Step::kTooLarge;

    const struct {
        UpdateDownload download;
        const wchar_t* why;
    } cases[] = {
        {noSession,
         L"the Internet functions of Windows could not be started (No more handles could be "
         L"generated at this time)."},
        {unreachable, L"the update server could not be reached (error 12029)."},
        {brokeOff,
         L"the update server's answer broke off (The connection with the server was "
         L"terminated abnormally)."},
        {tooLarge, L"the update server's answer is too large to be a version file."},
        {Answer("<html><body>Not here</body></html>", 404),
         L"the update server answered with HTTP status 404 Not Found."},
        {Answer("[VER]\nNew=9\n", 500),
         L"the update server answered with HTTP status 500 Not Found."},
        {Answer("<!DOCTYPE html><html><head><title>Velmora</title></head></html>"),
         L"the update server's answer is not a version file."},
        {Answer(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18)),
         L"the update server's answer is not a version file."},
        {Answer(""), L"the update server's answer is not a version file."},
        // "Info" alone is not the version file: "New" would only be a default.
        {Answer("[VER]\nInfo=x\n"), L"the update server's answer is not a version file."},
    };
    for (const auto& c : cases) {
        const UpdateOutcome outcome = EvaluateUpdateDownload(c.download);
        EXPECT_EQ(outcome.kind, UpdateOutcome::Kind::kFailed) << ToUtf8(c.why);
        EXPECT_EQ(outcome.why, c.why);
        RecordingReporter reporter;
        EXPECT_FALSE(TellUpdateOutcome(outcome, reporter));
        ASSERT_EQ(reporter.messages().size(), 1u);
        EXPECT_EQ(reporter.texts()[0],
                  std::wstring(L"Velmora could not check for a new version: ") + c.why);
        EXPECT_NE(reporter.texts()[0], kNoNewVersionMessage);
        EXPECT_EQ(reporter.messages()[0].icon, MessageIcon::kError);
    }
}

TEST(ProductSite, EveryAddressHangsOffTheOneSetting) {
    const ProductSite shipped;
    EXPECT_EQ(shipped.UpdateFileUrl(), L"https://velmora.example/software/krv/krvupdate.tmp");
    EXPECT_EQ(shipped.DownloadPageUrl(), L"https://velmora.example/software/krv/main.html");
    EXPECT_EQ(shipped.DonatePageUrl(), L"https://velmora.example/donate.html");
    EXPECT_EQ(shipped.QuestionsPageUrl().rfind(L"https://velmora.example/", 0), 0u);
    // A test server given with a trailing slash still gives single slashes.
    const ProductSite local{L"http://127.0.0.1:8123/"};
    EXPECT_EQ(local.UpdateFileUrl(), L"http://127.0.0.1:8123/software/krv/krvupdate.tmp");
}

}  // namespace
}  // namespace vm
