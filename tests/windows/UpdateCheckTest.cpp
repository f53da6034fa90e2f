// The update check against a real HTTP server: a small server of Python's
// http.server (Debian's python3) on the loopback address, started and
// stopped by this test, serves a newer version file, the same version, an
// HTML page, nothing (404) and a binary file; one more check goes to a port
// nobody listens on. The real WinINet code fetches each under Wine and the
// test reads the message the user would see. Plain http on the loopback
// address: the program ships https, which a test server here cannot offer.
#include <algorithm>
#include <fstream>
#include <iostream>
#include <memory>

#include "MenuWindowsFixture.h"
#include "app/UpdateCheck.win32.h"
#include "platform/Utf16.h"
#include "resources/strings.h"

namespace vm::test {
namespace {

// The server: serves the folder it is given on 127.0.0.1 at a free port,
// writes the port into a file, and stops on GET /quit (or after five minutes,
// should the test that started it be gone).
constexpr const char* kServerScript = R"PY(import http.server, os, sys, threading
root, port_file = sys.argv[1], sys.argv[2]
class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=root, **kwargs)
    def log_message(self, *args):
        pass
    def do_GET(self):
        if self.path == '/quit':
            self.send_response(200)
            self.end_headers()
            threading.Thread(target=server.shutdown).start()
            return
        super().do_GET()
server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
timer = threading.Timer(300, server.shutdown)
timer.daemon = True
timer.start()
with open(port_file + '.part', 'w') as f:
    f.write(str(server.server_address[1]))
os.replace(port_file + '.part', port_file)
server.serve_forever()
open(port_file + '.done', 'w').close()
)PY";

bool UnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Under Wine drive Z: is the Unix root, so a folder under Z:\tmp is one both
// the test and the Unix server see.
struct ServerFolder {
    std::string unixPath;
    std::wstring windowsPath;
};

ServerFolder MakeServerFolder() {
    const std::string unixPath = "/tmp/velmora-update-test-" +
                                 std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(GetTickCount());
    std::wstring windowsPath = L"Z:" + FromUtf8(unixPath);
    for (wchar_t& c : windowsPath) {
        if (c == L'/')
            c = L'\\';
    }
    return {unixPath, windowsPath};
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

class UpdateServer {
  public:
    bool Start() {
        folder_ = MakeServerFolder();
        const std::filesystem::path root = std::filesystem::path(folder_.windowsPath) / L"root";
        const std::wstring versionFile = L"software\\krv\\krvupdate.tmp";
        WriteFile(root / L"newer" / versionFile,
                  "[VER]\r\nNew=1.3.1.0\r\nInfo=Faster lists;Fewer clicks\r\n");
        WriteFile(root / L"same" / versionFile, "[VER]\r\nNew=1.3.0.129\r\nInfo=\r\n");
        WriteFile(root / L"html" / versionFile,
                  "<!DOCTYPE html>\n<html><head><title>Velmora</title></head>"
                  "<body><p>Moved.</p></body></html>\n");
        std::string binary;
        for (int i = 0; i < 2048; ++i)
            binary += static_cast<char>((i * 37) & 0xFF);
        WriteFile(root / L"binary" / versionFile, binary);
        std::filesystem::create_directories(root / L"missing");
        WriteFile(std::filesystem::path(folder_.windowsPath) / L"server.py", kServerScript);

        std::wstring command = L"python3 " + FromUtf8(folder_.unixPath) + L"/server.py " +
                               FromUtf8(folder_.unixPath) + L"/root " + FromUtf8(folder_.unixPath) +
                               L"/port";
        STARTUPINFOW startup{sizeof(startup)};
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(L"Z:\\usr\\bin\\python3", command.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &process))
            return false;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        const std::filesystem::path portFile = std::filesystem::path(folder_.windowsPath) / L"port";
        if (!h::WaitFor([&] { return std::filesystem::exists(portFile); }))
            return false;
        std::ifstream(portFile) >> port_;
        return port_ > 0;
    }

    // Asks the server to stop and waits until it has.
    void Stop() {
        if (port_ > 0) {
            DownloadUpdateFile(Base() + L"/quit");
            const std::filesystem::path done =
                std::filesystem::path(folder_.windowsPath) / L"port.done";
            h::WaitFor([&] { return std::filesystem::exists(done); });
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_.windowsPath, ignored);
    }

    std::wstring Base() const { return L"http://127.0.0.1:" + std::to_wstring(port_); }

  private:
    ServerFolder folder_;
    int port_ = 0;
};

// Shared by the tests of the suite; started once, stopped at its end.
std::unique_ptr<UpdateServer> server;

class UpdateCheckTest : public MenuWindowsTest {
  protected:
    static void SetUpTestSuite() {
        if (!UnderWine())
            return;
        server = std::make_unique<UpdateServer>();
        if (!server->Start())
            server.reset();
    }
    static void TearDownTestSuite() {
        if (server) {
            server->Stop();
            server.reset();
        }
    }

    void SetUp() override {
        if (!server)
            GTEST_SKIP() << "the test server needs Wine and Debian's python3";
        MenuWindowsTest::SetUp();
    }

    // Starts the check against one folder of the server and waits for what
    // the user is told.
    std::wstring CheckAgainst(const std::wstring& base) {
        runner.Run([&] { context.site.base = base; });
        PostCommand(ID_APP_CHECK_UPDATES);
        EXPECT_TRUE(h::WaitFor([&] { return !reporter.recorded.messages().empty(); },
                               h::milliseconds(60000)));
        const auto texts = reporter.recorded.texts();
        return texts.empty() ? std::wstring() : texts.back();
    }

    std::wstring Failure(const std::wstring& why) {
        return std::wstring(L"Velmora could not check for a new version: ") + why;
    }
};

TEST_F(UpdateCheckTest, ANewerVersionAsksAndOpensTheDownloadPageOnYes) {
    reporter.recorded.ScriptAnswer(Answer::kNo);
    EXPECT_EQ(CheckAgainst(server->Base() + L"/newer"),
              L"A new version of  Velmora (1.3.1.0) is available.\n\r\n\rFaster lists\n\rFewer "
              L"clicks\n\r\n\rDo you want to download it?");
    EXPECT_EQ(reporter.recorded.messages().back().icon, MessageIcon::kQuestion);
    EXPECT_TRUE(OpenedPages().empty());

    reporter.recorded.Clear();
    reporter.recorded.ScriptAnswer(Answer::kYes);
    CheckAgainst(server->Base() + L"/newer");
    EXPECT_TRUE(h::WaitFor([&] { return !OpenedPages().empty(); }));
    EXPECT_EQ(OpenedPages(),
              std::vector<std::wstring>{server->Base() + L"/newer/software/krv/main.html"});
}

TEST_F(UpdateCheckTest, TheSameVersionSaysThereIsNone) {
    EXPECT_EQ(CheckAgainst(server->Base() + L"/same"), L"" STR_NO_NEW_VERSION);
    EXPECT_EQ(reporter.recorded.messages().back().icon, MessageIcon::kInformation);
}

TEST_F(UpdateCheckTest, AnswersThatAreNotAVersionFileSayTheCheckFailed) {
    EXPECT_EQ(CheckAgainst(server->Base() + L"/html"),
              Failure(L"the update server's answer is not a version file."));
    reporter.recorded.Clear();
    EXPECT_EQ(CheckAgainst(server->Base() + L"/binary"),
              Failure(L"the update server's answer is not a version file."));
    reporter.recorded.Clear();
    EXPECT_EQ(CheckAgainst(server->Base() + L"/missing"),
              Failure(L"the update server answered with HTTP status 404 File not found."));
    EXPECT_EQ(reporter.recorded.messages().back().icon, MessageIcon::kError);
}

TEST_F(UpdateCheckTest, NoServerListeningSaysTheServerCouldNotBeReached) {
    // Port 1 of the loopback address: nothing listens there.
    const std::wstring told = CheckAgainst(L"http://127.0.0.1:1");
    EXPECT_EQ(told.rfind(Failure(L"the update server could not be reached ("), 0), 0u)
        << ToUtf8(told);
    std::cout << "No server: " << ToUtf8(told) << "\n";
    EXPECT_NE(told, L"" STR_NO_NEW_VERSION);
}

// Two checks at once each get their own answer: nothing is shared between them.
TEST_F(UpdateCheckTest, TwoChecksAtOnceDoNotMix) {
    runner.Run([&] {
        context.site.base = server->Base() + L"/same";
        dialog->Execute(ID_APP_CHECK_UPDATES);
        context.site.base = server->Base() + L"/html";
        dialog->Execute(ID_APP_CHECK_UPDATES);
    });
    EXPECT_TRUE(h::WaitFor([&] { return reporter.recorded.messages().size() == 2; },
                           h::milliseconds(60000)));
    auto texts = reporter.recorded.texts();
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::wstring>{
                         L"" STR_NO_NEW_VERSION,
                         Failure(L"the update server's answer is not a version file.")}));
}

// The two messages as the user sees them, for their pictures.
TEST_F(UpdateCheckTest, MessageBoxesOwnedByTheMainWindow) {
    reporter.showBoxes = true;
    const struct {
        std::wstring base;
        const wchar_t* picture;
        int button;
    } cases[] = {{server->Base() + L"/newer", L"update-newer", IDNO},
                 {server->Base() + L"/missing", L"update-failed", IDOK}};
    for (const auto& c : cases) {
        runner.Run([&] { context.site.base = c.base; });
        PostCommand(ID_APP_CHECK_UPDATES);
        HWND box = WaitForOtherWindow(L"Velmora");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(GetWindow(box, GW_OWNER), window);
        EXPECT_EQ(MessageBoxText(box), reporter.recorded.texts().back());
        h::SaveScreenshot(box, c.picture);
        h::Click(h::FindControl(box, c.button));
        EXPECT_TRUE(h::WaitFor([&] { return !IsWindow(box); }));
    }
    EXPECT_TRUE(OpenedPages().empty());
}

}  // namespace
}  // namespace vm::test
