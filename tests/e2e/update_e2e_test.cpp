// End to end: the update check of the real program against a local server. The program's page
// address is fixed when it is built, so the tests reach the server the way a user behind a proxy
// would: the proxy dialog names the server, which answers the absolute addresses it is sent.
#include <fstream>

#include "tests/e2e/fixture.h"
#include "tests/win32/http_test_server.h"

namespace e2e {
namespace {

using sorel::test::HttpTestServer;
using sorel::test::ResponsePlan;

const char* const kPagePath = "/sorel/update.htm";
const char* const kSetupPath = "/sorel/SorelAssistant-9.0.0.1-setup.exe";
const char* const kReadMePath = "/sorel/readme.txt";
const char* const kReadMeText = "Sorel Assistant 9.0.0.1\r\nWhat is new: everything.\r\n";

std::string Page(const std::string& version) {
  return "<html><head>\r\n"
         "<META NAME=\"zel-version\" CONTENT=\"" + version + "\">\r\n"
         "<META NAME=\"zel-url\" CONTENT=\"http://www.velmora.example" + std::string(kSetupPath) + "\">\r\n"
         "<META NAME=\"zel-readme\" CONTENT=\"http://www.velmora.example" + std::string(kReadMePath) + "\">\r\n"
         "</head><body>Sorel Assistant</body></html>\r\n";
}

// The proxy dialog takes ports up to 9999 only: the server listens on the first free one there.
std::unique_ptr<HttpTestServer> ServerBelow10000() {
  for (int port = 7311; port < 9999; port += 97) {
    auto server = std::make_unique<HttpTestServer>(port);
    if (server->Start().empty()) return server;
  }
  return nullptr;
}

std::string Temp(const std::string& name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + name;
}

class UpdateE2E : public StartupE2E {
 protected:
  void SetUp() override {
    StartupE2E::SetUp();
    server_ = ServerBelow10000();
    ASSERT_NE(server_, nullptr) << "no free port below 10000 for the test server";
    server_->Route(kPagePath, Plan(Page("9.0.0.1")));
    server_->Route(kReadMePath, Plan(kReadMeText));
    target_ = Temp("sorel-update-e2e.exe");
    DeleteFileA(target_.c_str());
  }
  void TearDown() override {
    DeleteFileA(target_.c_str());
    server_.reset();
    StartupE2E::TearDown();
  }
  static ResponsePlan Plan(const std::string& body) {
    ResponsePlan plan;
    plan.body = body;
    return plan;
  }

  void Start() {
    app_ = std::make_unique<AppProcess>();
    main_ = app_->WaitForWindow(kMainCaption);
    ASSERT_NE(main_, nullptr);
    status_ = FindChild(main_, "msctls_statusbar32", "");
    // The button and the narrow part beside it share the hint; the narrow part opens PopupMenu1.
    const std::string hint = LangResValue("Polski", "btWebUpdateHint");
    HWND any = FindByHint(main_, "Button", hint, status_);
    ASSERT_NE(any, nullptr) << "no update button on the toolbox";
    for (HWND b : DirectChildren(GetParent(any), "Button")) {
      if (HintOf(b, status_) != hint) continue;
      const RECT r = WindowRect(b);
      (r.right - r.left > 16 ? update_ : menuArrow_) = b;
    }
    ASSERT_NE(update_, nullptr);
    ASSERT_NE(menuArrow_, nullptr);
  }
  // The first item of PopupMenu1 is the proxy dialog.
  HWND OpenProxyDialog() {
    Press(menuArrow_);
    HWND menu = app_->WaitForMenu();
    if (!menu) return nullptr;
    PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
    return app_->WaitForWindow(LangResValue("Polski", "RSProxyCaption"));
  }
  void SetProxy(const std::string& host, const std::string& port) {
    HWND dialog = OpenProxyDialog();
    ASSERT_NE(dialog, nullptr) << "the proxy dialog did not open";
    const auto edits = FindChildren(dialog, "Edit");
    ASSERT_EQ(edits.size(), 2u);
    SetWindowTextA(edits[0], host.c_str());
    SetWindowTextA(edits[1], port.c_str());
    Press(FindChild(dialog, "Button", "&OK"));
    for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(50);
    ASSERT_FALSE(IsWindow(dialog)) << "the proxy dialog stayed open";
  }
  void UseServerAsProxy() { SetProxy("127.0.0.1", std::to_string(server_->Port())); }
  // The next message box: its caption and text; answered with id.
  std::pair<std::string, std::string> Box(int id, int timeoutMs = 20000) {
    HWND box = app_->WaitForMessageBox(timeoutMs);
    if (!box) return {"(no message box)", ""};
    std::pair<std::string, std::string> seen{Text(box), MessageBoxText(box)};
    Answer(box, id);
    for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(50);
    return seen;
  }
  // The save dialog: the name typed into its file name box, then Save.
  void SaveAs(const std::string& path) {
    HWND dialog = app_->WaitForMessageBox();
    ASSERT_NE(dialog, nullptr) << "no save dialog";
    ASSERT_TRUE(SetDlgItemTextA(dialog, 0x47c, path.c_str()) || SetDlgItemTextA(dialog, 0x480, path.c_str()));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  }
  void CloseWithOk() {
    Press(FindChild(main_, "Button", "&OK"));
    ASSERT_TRUE(app_->WaitForExit(30000)) << "the program did not end after OK";
  }

  std::unique_ptr<HttpTestServer> server_;
  std::string target_;
  std::unique_ptr<AppProcess> app_;
  HWND main_ = nullptr, status_ = nullptr, update_ = nullptr, menuArrow_ = nullptr;
};

// A newer version: the ReadMe window, the save dialog, the download behind the progress window,
// the install question answered No; the file equals what was served.
TEST_F(UpdateE2E, NewerVersionIsReadDownloadedAndKept) {
  ResponsePlan setup;
  setup.generatedSize = 3 * 1024 * 1024;
  setup.blockSize = 64 * 1024;
  setup.blockDelayMs = 40;  // long enough to see the progress window
  server_->Route(kSetupPath, setup);
  Start();
  UseServerAsProxy();
  Press(update_);

  auto readMe = Box(IDYES);
  EXPECT_EQ(readMe.first, "Aktualizacja dostępna");
  EXPECT_NE(readMe.second.find("Czy chcesz przeczytać plik ReadMe?"), std::string::npos) << readMe.second;
  HWND window = app_->WaitForWindow("Read Me");
  ASSERT_NE(window, nullptr) << "no ReadMe window";
  EXPECT_EQ(Text(FindChild(window, "Edit", "")), kReadMeText);
  Press(FindChild(window, "Button", "&Ok"));

  auto download = Box(IDYES);
  EXPECT_EQ(download.first, "Aktualizacja dostępna");
  EXPECT_NE(download.second.find("Wersja 9.0.0.1 jest dostępna w sieci."), std::string::npos) << download.second;
  SaveAs(target_);
  HWND progress = app_->WaitForWindow("Zaawansowanie pobierania");
  EXPECT_NE(progress, nullptr) << "no progress window";

  auto install = Box(IDNO, 60000);
  EXPECT_EQ(install.first, "Instalacja aktualizacji");
  EXPECT_NE(install.second.find("zakończenie Sorel Assistant"), std::string::npos) << install.second;
  const std::string saved = ReadFileBytes(target_);
  EXPECT_EQ(saved.size(), setup.generatedSize);
  EXPECT_EQ(sorel::test::Checksum(saved.data(), saved.size()), sorel::test::PatternChecksum(setup.generatedSize));
  // The request went through the proxy setting: absolute addresses of the maker's host.
  bool proxied = false;
  for (const auto& r : server_->Requests())
    proxied |= r.requestLine == std::string("GET http://www.velmora.example") + kSetupPath + " HTTP/1.1";
  EXPECT_TRUE(proxied);
  CloseWithOk();
}

TEST_F(UpdateE2E, SameVersionIsNoUpdate) {
  server_->Route(kPagePath, Plan(Page("1.1.3.6")));
  Start();
  UseServerAsProxy();
  Press(update_);
  auto box = Box(IDOK);
  EXPECT_EQ(box.first, "Nie znaleziono aktualizacji");
  EXPECT_EQ(box.second, "Aktualizacja nie jest dostępna.");
  CloseWithOk();
}

// The proxy refuses connections: the transport's reason reaches the user after the status box.
TEST_F(UpdateE2E, ServerDownIsReportedWithTheReason) {
  const int port = server_->Port();
  server_->Stop();
  Start();
  SetProxy("127.0.0.1", std::to_string(port));
  Press(update_);
  auto status = Box(IDOK);
  EXPECT_EQ(status.second, "404");
  auto failed = Box(IDOK);
  EXPECT_EQ(failed.first, "Błąd łączenia");
  EXPECT_NE(failed.second.find("Connection refused"), std::string::npos) << failed.second;
  CloseWithOk();
}

// Cancel while the server stalls: the partial file stays and the reason is shown.
TEST_F(UpdateE2E, CancelDuringDownloadKeepsThePartialFile) {
  ResponsePlan slow;
  slow.generatedSize = 1024 * 1024;
  slow.blockSize = 16 * 1024;
  slow.stallAfter = 64 * 1024;
  server_->Route(kSetupPath, slow);
  Start();
  UseServerAsProxy();
  Press(update_);
  Box(IDNO);  // no ReadMe
  Box(IDYES);
  SaveAs(target_);
  HWND progress = app_->WaitForWindow("Zaawansowanie pobierania");
  ASSERT_NE(progress, nullptr);
  HWND label = nullptr;
  for (int i = 0; i < 100 && !label; ++i, Sleep(50))
    label = FindChild(progress, "Static", "65,536 z 1,048,576 odebranych bajtów.");
  EXPECT_NE(label, nullptr) << "the progress did not reach the stall";
  Press(FindChild(progress, "Button", "&Cancel"));
  auto failed = Box(IDOK);
  EXPECT_EQ(failed.first, "Błąd pobierania");
  EXPECT_NE(failed.second.find("Connection aborted"), std::string::npos) << failed.second;
  EXPECT_EQ(ReadFileBytes(target_).size(), 64u * 1024);
  server_->Release();
  CloseWithOk();
}

// Ports above 9999 are refused and the dialog stays open; Cancel leaves the settings.
TEST_F(UpdateE2E, BadProxyPortKeepsTheDialogOpen) {
  Start();
  HWND dialog = OpenProxyDialog();
  ASSERT_NE(dialog, nullptr);
  const auto edits = FindChildren(dialog, "Edit");
  ASSERT_EQ(edits.size(), 2u);
  EXPECT_EQ(Text(edits[1]), "80");
  SetWindowTextA(edits[1], "10000");
  Press(FindChild(dialog, "Button", "&OK"));
  auto box = Box(IDOK);
  EXPECT_EQ(box.first, LangResValue("Polski", "RSBadPort"));
  EXPECT_EQ(box.second, box.first);
  EXPECT_TRUE(IsWindow(dialog));
  Press(FindChild(dialog, "Button", "&Zaniechaj"));
  for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(50);
  EXPECT_FALSE(IsWindow(dialog));
  CloseWithOk();
}

}  // namespace
}  // namespace e2e
