// End to end: the update check of the real program against a local server. The program's page
// address is fixed when it is built, so the tests reach the server the way a user behind a proxy
// would: the proxy dialog names the server, which answers the absolute addresses it is sent.
#include <fstream>

#include "tests/e2e/fixture.h"
#include "tests/support/test_signing.h"
#include "tests/win32/http_test_server.h"

namespace e2e {
namespace {

using sorel::test::HttpTestServer;
using sorel::test::ResponsePlan;

const char* const kPagePath = "/sorel/update.htm";
const char* const kSetupPath = "/sorel/SorelAssistant-9.0.0.1-setup.exe";
const char* const kReadMePath = "/sorel/readme.txt";
const char* const kReadMeText = "Sorel Assistant 9.0.0.1\r\nWhat is new: everything.\r\n";

// signature: the zel-signature line's value; "" leaves the line out.
std::string Page(const std::string& version, const std::string& signature = "") {
  return "<html><head>\r\n"
         "<META NAME=\"zel-version\" CONTENT=\"" + version + "\">\r\n"
         "<META NAME=\"zel-url\" CONTENT=\"http://www.velmora.example" + std::string(kSetupPath) + "\">\r\n"
         "<META NAME=\"zel-readme\" CONTENT=\"http://www.velmora.example" + std::string(kReadMePath) + "\">\r\n" +
         (signature.empty() ? "" : "<META NAME=\"zel-signature\" CONTENT=\"" + signature + "\">\r\n") +
         "</head><body>Sorel Assistant</body></html>\r\n";
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of("\\/") + 1); }

// The same program built with the tests' public key in place of the maker's, beside it.
std::string TestKeyProgram() { return FolderOf(g_exePath) + "SorelAssistantTestKey.exe"; }

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

  // The program that trusts the tests' key unless told otherwise.
  void Start(const std::string& program = TestKeyProgram()) {
    app_ = std::make_unique<AppProcess>(program);
    main_ = app_->WaitForWindow(kMainCaption);
    ASSERT_NE(main_, nullptr);
    status_ = FindChild(main_, "msctls_statusbar32", "");
    // The button and the narrow part beside it share the hint; the narrow part opens PopupMenu1.
    const std::string hint = LangResValue("Polski", "btWebUpdateHint");
    HWND any = FindByHint(main_, "Button", hint, status_);
    for (HWND top : ToolWindows())
      if (!any) any = FindByHint(top, "Button", hint, status_);
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
    // The save dialog is a dialog box too: the next box looked for must not be it.
    for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(50);
    ASSERT_FALSE(IsWindow(dialog)) << "the save dialog stayed open";
  }
  void CloseWithOk() {
    Press(FindChild(main_, "Button", "&OK"));
    ASSERT_TRUE(app_->WaitForExit(30000)) << "the program did not end after OK";
  }
  // The program's shown tool windows: a floating tool bar is one.
  std::vector<HWND> ToolWindows() {
    std::vector<HWND> found;
    for (HWND top = GetTopWindow(nullptr); top; top = GetWindow(top, GW_HWNDNEXT)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(top, &pid);
      if (pid == app_->Pid() && IsWindowVisible(top) && (GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
        found.push_back(top);
    }
    return found;
  }
  // Serves a file as the installer, with a page whose signature line is signature.
  void ServeSetup(const std::string& bytes, const std::string& signature) {
    ResponsePlan setup;
    setup.body = bytes;
    server_->Route(kSetupPath, setup);
    server_->Route(kPagePath, Plan(Page("9.0.0.1", signature)));
  }
  // From the update button to the end of the download: no ReadMe, Yes, the target.
  void DownloadToTarget() {
    UseServerAsProxy();
    Press(update_);
    Box(IDNO);
    Box(IDYES);
    SaveAs(target_);
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
  std::string generated(setup.generatedSize, '\0');
  for (std::size_t i = 0; i < generated.size(); ++i) generated[i] = static_cast<char>(sorel::test::PatternByte(i));
  server_->Route(kPagePath, Plan(Page("9.0.0.1", sorel::test::SignForTests(generated))));
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
  server_->Route(kPagePath, Plan(Page(SOREL_VERSION_TEXT)));
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

// Cancel while the server stalls: the reason is shown, and neither the target nor the download's
// own file is left.
TEST_F(UpdateE2E, CancelDuringDownloadLeavesNoFile) {
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
  EXPECT_EQ(GetFileAttributesA(target_.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA((target_ + ".part").c_str()), INVALID_FILE_ATTRIBUTES);
  server_->Release();
  CloseWithOk();
}

// The installer the maker signed is started, and the program ends for it. The installer is the
// shell's stand-in, which notes its start in shell-opened.txt beside itself.
TEST_F(UpdateE2E, SignedInstallerIsStarted) {
  const std::string installer = ReadFileBytes(FolderOf(g_exePath) + "sorel_shell_recorder.exe");
  ASSERT_FALSE(installer.empty());
  const std::string log = FolderOf(target_) + "shell-opened.txt";
  DeleteFileA(log.c_str());
  ServeSetup(installer, sorel::test::SignForTests(installer));
  Start();
  DownloadToTarget();
  auto install = Box(IDYES, 60000);
  EXPECT_EQ(install.first, "Instalacja aktualizacji");
  EXPECT_TRUE(app_->WaitForExit(30000)) << "the program did not end for the installer";
  EXPECT_EQ(ReadFileBytes(target_), installer);
  bool started = false;
  for (int i = 0; i < 100 && !started; ++i, Sleep(100)) started = GetFileAttributesA(log.c_str()) != INVALID_FILE_ATTRIBUTES;
  EXPECT_TRUE(started) << "the installer did not run";
  DeleteFileA(log.c_str());
}

// Whatever does not verify with the maker's key is deleted with one box, and never started.
TEST_F(UpdateE2E, FilesNotSignedByTheMakerAreRefusedAndDeleted) {
  const std::string genuine = ReadFileBytes(FolderOf(g_exePath) + "sorel_shell_recorder.exe");
  ASSERT_GT(genuine.size(), 1024u);
  std::string swapped = genuine;
  swapped[swapped.size() / 2] ^= 1;
  const struct Case {
    const char* what;
    std::string served, signature;
  } cases[] = {
      {"a swapped file", swapped, sorel::test::SignForTests(genuine)},
      {"a truncated file", genuine.substr(0, genuine.size() - 100), sorel::test::SignForTests(genuine)},
      {"a page without a signature", genuine, ""},
      {"the signature of another file", genuine, sorel::test::SignForTests("MZ another file")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ServeSetup(c.served, c.signature);
    ASSERT_NO_FATAL_FAILURE(Start());
    DownloadToTarget();
    auto refused = Box(IDOK, 60000);
    EXPECT_EQ(refused.first, "Błąd pobierania");
    EXPECT_EQ(refused.second, LangResValue("Polski", "WSUpdateNotSigned"));
    EXPECT_EQ(GetFileAttributesA(target_.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((target_ + ".part").c_str()), INVALID_FILE_ATTRIBUTES);
    // No install question follows: the program is as it was and ends by OK.
    ASSERT_NO_FATAL_FAILURE(CloseWithOk());
  }
}

// The shipped program carries the maker's key, which the tests cannot sign with: it refuses too.
TEST_F(UpdateE2E, TheShippedProgramRefusesTheTestsSignature) {
  const std::string installer = ReadFileBytes(FolderOf(g_exePath) + "sorel_shell_recorder.exe");
  ServeSetup(installer, sorel::test::SignForTests(installer));
  Start(g_exePath);
  DownloadToTarget();
  auto refused = Box(IDOK, 60000);
  EXPECT_EQ(refused.second, LangResValue("Polski", "WSUpdateNotSigned"));
  EXPECT_EQ(GetFileAttributesA(target_.c_str()), INVALID_FILE_ATTRIBUTES);
  CloseWithOk();
}

// While the wait window is up every other window of the program is disabled, the floating toolbox
// with its update button too, so no second check can start; its Cancel ends the wait.
TEST_F(UpdateE2E, NoSecondCheckWhileOneWaits) {
  const std::string layout = std::string(kProgramKey) + "\\tbToolbox";
  for (const auto& [name, value] : {std::pair{"Rev", "3"}, {"Visible", "1"}, {"DockedTo", "0"}, {"LastDock", "2"},
                                    {"DockRow", "0"}, {"DockPos", "0"}, {"FloatLeft", "60"}, {"FloatTop", "80"}})
    SetString(HKEY_CURRENT_USER, layout, name, value);
  ResponsePlan stalled = Plan(Page("9.0.0.1"));
  stalled.stallAfter = 0;
  server_->Route(kPagePath, stalled);
  Start();
  HWND toolbox = GetAncestor(update_, GA_ROOT);
  ASSERT_NE(toolbox, main_) << "the toolbox does not float";
  UseServerAsProxy();
  Press(update_);
  HWND wait = app_->WaitForWindow("Proszę czekać");
  ASSERT_NE(wait, nullptr) << "no wait window";
  EXPECT_FALSE(IsWindowEnabled(toolbox)) << "the floating toolbox can start another check";
  EXPECT_FALSE(IsWindowEnabled(main_));
  Press(FindChild(wait, "Button", "&Cancel"));
  EXPECT_EQ(Box(IDOK).second, "404");
  auto failed = Box(IDOK);
  EXPECT_EQ(failed.first, "Błąd łączenia");
  EXPECT_NE(failed.second.find("Connection aborted"), std::string::npos) << failed.second;
  EXPECT_TRUE(IsWindowEnabled(toolbox));
  EXPECT_TRUE(IsWindowEnabled(main_));
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
