// The update check's whole dialogue against an in-memory transport and in-memory dialogs: what the
// user is asked and shown, what is downloaded where, what is started.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/memory_platforms.h"
#include "tests/support/test_signing.h"
#include "toolkit/http/http_transport.h"
#include "update/WebFileInfo.h"

namespace sorel {
namespace {

using test::MemoryPlatforms;

const char* const kPage = "http://www.velmora.example/sorel/update.htm";
const char* const kSetup = "http://www.velmora.example/sorel/setup.exe";
const char* const kReadMe = "http://www.velmora.example/sorel/readme.txt";

struct Served {
  int status = 200;
  std::string reason = "OK";
  std::string body;
  int error = 0;       // not 0: the transfer failed (status 404, reason as given)
  bool throws = false; // the transport raises its exception half-way through the body
  bool stalls = false; // half the body, then nothing until Abort
};

// Answers each GET with what the test serves when the program waits for it: the in-memory modal
// loop runs Deliver as the real one delivers the socket's events.
class FakeTransport : public HttpTransport {
 public:
  FakeTransport(std::map<std::string, Served>& served, Application& app) : served_(served), app_(app) {}
  void GetASync() override {
    requests.push_back(URL);
    proxies.push_back(Proxy + ":" + ProxyPort);
    deadlines.push_back(DeadlineMs);
    running_ = true;
    status_ = 0;
    received_ = 0;
  }
  void Abort() override {
    if (!running_) return;
    running_ = false;
    Finish(404, "Connection aborted", 2);
  }
  int StatusCode() override { return status_; }
  std::string ReasonPhrase() override { return reason_; }
  std::int64_t RcvdCount() override { return received_; }
  std::int64_t ContentLength() override { return length_; }

  void Deliver() {
    if (!running_) return;
    const auto it = served_.find(URL);
    const Served s = it != served_.end() ? it->second : Served{404, "Host not found", "", 1};
    length_ = static_cast<std::int64_t>(s.body.size());
    const std::size_t half = s.body.size() / 2;
    Write(s.body.substr(0, half));
    if (s.stalls) return;
    if (s.throws) {
      running_ = false;
      status_ = 404;
      reason_ = "Disk full";
      app_.ShowException(EHttpException("Disk full"));
      return;
    }
    Write(s.body.substr(half));
    running_ = false;
    Finish(s.error ? 404 : s.status, s.reason, s.error);
  }

  std::vector<std::string> requests, proxies;
  std::vector<unsigned> deadlines;

 private:
  void Write(const std::string& block) {
    if (block.empty()) return;
    if (RcvdStream) RcvdStream->Write(block.data(), block.size());
    received_ += static_cast<std::int64_t>(block.size());
    if (OnDocData) OnDocData();
  }
  void Finish(int status, const std::string& reason, int error) {
    status_ = status;
    reason_ = reason;
    if (OnRequestDone) OnRequestDone(error);
  }
  std::map<std::string, Served>& served_;
  Application& app_;
  bool running_ = false;
  int status_ = 0;
  std::string reason_;
  std::int64_t received_ = 0, length_ = -1;
};

const std::string kSetupBody(5000, 'x');

std::string SignatureLine(const std::string& file) {
  return "<META NAME=\"zel-signature\" CONTENT=\"" + test::SignForTests(file) + "\">\n";
}

// The page as the maker writes it, with the signature of the setup served.
std::string Page(const std::string& version, const std::string& extra = SignatureLine(kSetupBody)) {
  return "<html>\r\n<META NAME=\"zel-version\" CONTENT=\"" + version + "\">\r\n<META NAME=\"zel-url\" CONTENT=\"" +
         kSetup + "\">\r\n<meta NAME=\"zel-readme\" CONTENT=\"" + kReadMe + "\">\n" + extra + "</html>";
}

// One program run: the platforms, the component as the main window sets it up, the server.
struct Session {
  Session() {
    check.Attach(p.platform, [this] {
      auto made = std::make_unique<FakeTransport>(served, p.app);
      transport = made.get();
      return made;
    });
    check.SetHomeURL(kPage);
    check.InfoTags().ReadMeTag = "zel-readme";
    check.InfoTags().VersionTag = "zel-version";
    check.InfoTags().DownloadTag = "zel-url";
    check.InfoTags().SignatureTag = "zel-signature";
    check.SetPublicKey(test::TestPublicKey());
    check.SetCurrentVersion("1.1.3.6");
    p.app.SetTitle("Sorel Assistant");
    p.ui.modalHandler = [this](Form& form) {
      shown.push_back(form.Name());
      if (form.Name() == "ReadMe") readMeText = p.ui.Find<Memo>("ReadMeText")->Text();
      if (whileShown) whileShown(form);
      if (transport) transport->Deliver();
      if (form.Name() == "WebDlProgress" && cancel) Click(p.ui, *p.ui.Find<Button>("btnCancel"));
      if (form.Name() == "WaitWindow" && cancelWait) Click(p.ui, *p.ui.Find<Button>("WaitCancel"));
    };
    served[kPage] = {200, "OK", Page("1.1.3.7")};
    served[kReadMe] = {200, "OK", "What is new\nin this one"};
    served[kSetup] = {200, "OK", kSetupBody};
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const auto& call : p.dialogs.Calls()) captions.push_back(call.caption);
    return captions;
  }
  std::string LastText() const { return p.dialogs.Calls().empty() ? "" : p.dialogs.Calls().back().text; }
  void SaveAs(const std::string& path, int filter) {
    p.dialogs.answerSave = [path, filter](const SaveFileRequest&) {
      return std::optional<SaveFileChoice>(SaveFileChoice{path, filter});
    };
  }
  std::size_t FileSize(const std::string& path) { return p.files.Exists(path) ? p.files.ReadAll(path).size() : 0; }

  MemoryPlatforms p;
  TWebFileInfo check;
  std::map<std::string, Served> served;
  FakeTransport* transport = nullptr;
  std::vector<std::string> shown;
  std::function<void(Form&)> whileShown;  // what the user does while a window is up
  bool cancel = false, cancelWait = false;
  std::string readMeText;
};

const char* const kAvailable = "Aktualizacja dostępna";
const char* const kInstall = "Instalacja aktualizacji";
const char* const kTarget = "C:\\d\\setup.EXE";

// The dialogue in each situation: the boxes in order, the result, the file left, what started.
TEST(UpdateFlow, EachSituationAsksAndShowsWhatItShould) {
  struct Case {
    const char* name;
    std::string pageVersion;
    std::vector<Answer> answers;  // the message boxes' answers, in order
    bool save;                 // the save dialog confirmed as C:\d\setup with the first filter
    Served setup;
    bool shellOpens;  // the shell opens the saved file
    bool cancel;
    std::vector<std::string> captions;
    bool result;
    std::size_t fileSize;  // of C:\d\setup.EXE; 0: none
    bool started, terminated;
    std::string lastText;  // contained in the last box's text
    std::string signature = SignatureLine(kSetupBody);  // the page's signature line
    bool keyed = true;      // the build carries the maker's key
    bool endAllowed = true; // the close question before the installer
  };
  const Served whole{200, "OK", kSetupBody};
  const char* const kNotSigned = "nie jest podpisany";
  const Case cases[] = {
      {"no update", "1.1.3.6", {Answer::Ok}, false, whole, true, false, {"Nie znaleziono aktualizacji"}, false, 0,
       false, false, "Aktualizacja nie jest dostępna."},
      {"readme declined, download, install declined", "1.1.3.7", {Answer::No, Answer::Yes, Answer::No}, true,
       whole, true, false, {kAvailable, kAvailable, kInstall}, true, 5000, false, false, "To spowoduje zakończenie Sorel Assistant."},
      {"installed, the program ends", "1.1.3.7", {Answer::No, Answer::Yes, Answer::Yes}, true, whole, true, false,
       {kAvailable, kAvailable, kInstall}, true, 5000, true, true, ""},
      {"download declined", "1.1.3.7", {Answer::No, Answer::No}, false, whole, true, false, {kAvailable, kAvailable},
       false, 0, false, false, "Pobrać aktualizację?"},
      {"save dialog cancelled", "1.1.3.7", {Answer::No, Answer::Yes}, false, whole, true, false,
       {kAvailable, kAvailable}, false, 0, false, false, ""},
      {"server error", "1.1.3.7", {Answer::No, Answer::Yes, Answer::Ok}, true, {500, "Server Error", "oops"}, true,
       false, {kAvailable, kAvailable, "Błąd pobierania"}, false, 0, false, false, "Błąd: \"Server Error.\""},
      {"the file does not start", "1.1.3.7", {Answer::No, Answer::Yes, Answer::Yes, Answer::Ok}, true, whole, false,
       false, {kAvailable, kAvailable, kInstall, "Błąd"}, true, 5000, true, false, "Nie można uruchomić programu."},
      {"exception from the transport", "1.1.3.7", {Answer::No, Answer::Yes, Answer::Ok, Answer::Ok}, true,
       {200, "OK", std::string(5000, 'x'), 0, true}, true, false,
       {kAvailable, kAvailable, "Wyjątek", "Błąd pobierania"}, false, 0, false, false, "Błąd: \"Disk full.\""},
      {"cancelled download", "1.1.3.7", {Answer::No, Answer::Yes, Answer::Ok}, true,
       {200, "OK", std::string(5000, 'x'), 0, false, true}, true, true, {kAvailable, kAvailable, "Błąd pobierania"},
       false, 0, false, false, "Błąd: \"Connection aborted.\""},
      {"an error status without a reason", "1.1.3.7", {Answer::No, Answer::Yes, Answer::Ok}, true,
       {404, "", "MZ error page"}, true, false, {kAvailable, kAvailable, "Błąd pobierania"}, false, 0, false, false,
       "Błąd: \"HTTP 404.\""},
      {"a file swapped on the way", "1.1.3.7", {Answer::No, Answer::Yes, Answer::Ok}, true,
       {200, "OK", std::string(4999, 'x') + "y"}, true, false, {kAvailable, kAvailable, "Błąd pobierania"}, false, 0,
       false, false, kNotSigned},
      {"a truncated file", "1.1.3.7", {Answer::No, Answer::Yes, Answer::Ok}, true, {200, "OK", kSetupBody.substr(0, 4096)},
       true, false, {kAvailable, kAvailable, "Błąd pobierania"}, false, 0, false, false, kNotSigned},
      {"a page without a signature", "1.1.3.7", {Answer::No, Answer::Yes, Answer::Ok}, true, whole, true, false,
       {kAvailable, kAvailable, "Błąd pobierania"}, false, 0, false, false, kNotSigned, ""},
      {"the signature of another file", "1.1.3.7", {Answer::No, Answer::Yes, Answer::Ok}, true, whole, true, false,
       {kAvailable, kAvailable, "Błąd pobierania"}, false, 0, false, false, kNotSigned, SignatureLine("MZ other")},
      {"a build without a key keeps the file and says where", "1.1.3.7", {Answer::No, Answer::Yes, Answer::Ok}, true,
       whole, true, false, {kAvailable, kAvailable, kAvailable}, true, 5000, false, false, kTarget, "", false},
      {"Cancel to the close question starts nothing", "1.1.3.7", {Answer::No, Answer::Yes, Answer::Yes}, true, whole,
       true, false, {kAvailable, kAvailable, kInstall}, true, 5000, false, false, "", SignatureLine(kSetupBody), true,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session s;
    s.served[kPage].body = Page(c.pageVersion, c.signature);
    s.served[kSetup] = c.setup;
    if (!c.keyed) s.check.SetPublicKey("");
    int endQueries = 0;
    s.check.OnEndQuery = [&] {
      ++endQueries;
      return c.endAllowed;
    };
    s.p.shell.documentOpens = c.shellOpens;
    s.cancel = c.cancel;
    for (Answer answer : c.answers) s.p.dialogs.Script({answer});
    if (c.save) s.SaveAs("C:\\d\\setup", 1);
    if (!c.save) s.p.dialogs.answerSave = [](const SaveFileRequest&) { return std::optional<SaveFileChoice>(); };

    EXPECT_EQ(s.check.CheckForUpdate(), c.result);
    EXPECT_EQ(s.Captions(), c.captions);
    EXPECT_NE(s.LastText().find(c.lastText), std::string::npos) << s.LastText();
    EXPECT_EQ(s.FileSize(kTarget), c.fileSize);
    EXPECT_EQ(s.p.shell.documentsOpened.size(), c.started ? 1u : 0u);
    EXPECT_EQ(s.p.app.Terminated(), c.terminated);
    EXPECT_FALSE(s.p.files.Exists(std::string(kTarget) + ".part")) << "the download's own file is left";
    // The close question comes only when the program would end for the installer.
    EXPECT_EQ(endQueries, c.captions.size() >= 3 && c.captions[2] == kInstall && c.answers.size() >= 3 &&
                              c.answers[2] == Answer::Yes ? 1 : 0);
  }
}

// A failed or refused download leaves the file the user chose as it was.
TEST(UpdateFlow, AFailedDownloadLeavesTheChosenFileAlone) {
  for (const Served& setup : {Served{500, "Server Error", "oops"}, Served{200, "OK", "MZ not the maker's"}}) {
    SCOPED_TRACE(setup.body);
    Session s;
    s.p.files.WriteAll(kTarget, "the user's own file");
    s.served[kSetup] = setup;
    s.p.dialogs.Script({Answer::No, Answer::Yes, Answer::Ok});
    s.SaveAs("C:\\d\\setup", 1);
    EXPECT_FALSE(s.check.CheckForUpdate());
    EXPECT_EQ(s.p.files.ReadAll(kTarget), "the user's own file");
    EXPECT_FALSE(s.p.files.Exists(std::string(kTarget) + ".part"));
  }
}

// A check started from a window the modal one could not disable is refused, during the page
// fetch and during the download, and the first check goes on to its end.
TEST(UpdateFlow, ACheckStartedDuringAnotherIsRefused) {
  for (const char* window : {"WaitWindow", "WebDlProgress"}) {
    SCOPED_TRACE(window);
    Session s;
    std::vector<bool> nested;
    s.whileShown = [&](Form& form) {
      if (form.Name() == window) nested.push_back(s.check.CheckForUpdate());
    };
    s.p.dialogs.Script({Answer::No, Answer::Yes, Answer::No});
    s.SaveAs("C:\\d\\setup", 1);
    EXPECT_TRUE(s.check.CheckForUpdate());
    EXPECT_EQ(nested, std::vector<bool>{false});
    EXPECT_EQ(s.Captions(), (std::vector<std::string>{kAvailable, kAvailable, kInstall}));
    EXPECT_EQ(s.p.files.ReadAll(kTarget), kSetupBody);
  }
}

// The transport's exception: two boxes, each time it happens in a run, and the fetch of the page
// ends after a fixed time however the server sends it.
TEST(UpdateFlow, TransportFailuresEndTheWaitWithTwoBoxes) {
  {
    SCOPED_TRACE("an exception during the page: its box, then the connection box");
    Session s;
    s.served[kPage].throws = true;
    s.p.dialogs.SetDefaultAnswer(Answer::Ok);
    EXPECT_FALSE(s.check.CheckForUpdate());
    EXPECT_EQ(s.Captions(), (std::vector<std::string>{"Wyjątek", "Błąd łączenia"}));
  }
  {
    SCOPED_TRACE("a second exception in one run is handled as the first");
    Session s;
    s.served[kSetup].throws = true;
    s.p.dialogs.SetDefaultAnswer(Answer::Ok);
    for (int run = 0; run < 2; ++run) {
      s.p.dialogs.Script({Answer::No, Answer::Yes});
      s.SaveAs("C:\\d\\setup", 1);
      EXPECT_FALSE(s.check.CheckForUpdate());
    }
    EXPECT_EQ(s.Captions(), (std::vector<std::string>{kAvailable, kAvailable, "Wyjątek", "Błąd pobierania", kAvailable,
                                                      kAvailable, "Wyjątek", "Błąd pobierania"}));
    EXPECT_TRUE(s.p.app.errorsShown.empty());
  }
  {
    SCOPED_TRACE("the wait window's Cancel ends a page that does not come");
    Session s;
    s.served[kPage].stalls = true;
    s.cancelWait = true;
    s.p.dialogs.SetDefaultAnswer(Answer::Ok);
    EXPECT_FALSE(s.check.CheckForUpdate());
    EXPECT_EQ(s.Captions(), (std::vector<std::string>{"Sorel Assistant", "Błąd łączenia"}));
    EXPECT_NE(s.LastText().find("Connection aborted"), std::string::npos) << s.LastText();
  }
  {
    SCOPED_TRACE("the page and the ReadMe have a deadline, the download none");
    Session s;
    s.p.dialogs.Script({Answer::Yes, Answer::Yes, Answer::No});
    s.SaveAs("C:\\d\\setup", 1);
    EXPECT_TRUE(s.check.CheckForUpdate());
    EXPECT_EQ(s.transport->deadlines, (std::vector<unsigned>{60000, 60000, 0}));
  }
}

// A page status other than 200 fails whatever follows it; a server's long texts are cut.
TEST(UpdateFlow, ServerAnswersThatAreNoPage) {
  const std::string longText(500, '9'), longVersion = "9." + longText;
  struct Case {
    const char* what;
    Served page;
    std::string inLastBox, notInAnyBox;
  } cases[] = {
      {"404 without a reason", {404, "", Page("9.9.9.9")}, "Błąd: \"HTTP 404.\"", "9.9.9.9"},
      {"201 with a body", {201, "Created", Page("9.9.9.9")}, "Błąd: \"Created.\"", "9.9.9.9"},
      {"a long reason", {500, longText, ""}, "Błąd: \"" + longText.substr(0, 200) + "....\"", longText.substr(0, 201)},
      {"a long version", {200, "OK", Page(longVersion)}, "Wersja " + longVersion.substr(0, 200) + "... jest",
       longVersion.substr(0, 201)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Session s;
    s.served[kPage] = c.page;
    s.p.dialogs.SetDefaultAnswer(Answer::No);
    EXPECT_FALSE(s.check.CheckForUpdate());
    EXPECT_NE(s.LastText().find(c.inLastBox), std::string::npos) << s.LastText().substr(0, 300);
    for (const auto& call : s.p.dialogs.Calls()) EXPECT_EQ(call.text.find(c.notInAnyBox), std::string::npos);
  }
}

// What the save dialog starts with, and where a folder path puts the file.
TEST(UpdateFlow, SaveDialogAndFolderTargets) {
  Session s;
  s.served[kPage].body =
      Page("2.0", SignatureLine("MZ") + "<META NAME=\"zel-url\" CONTENT=\"http://h/a\\..\\..\\x.exe\">\n");
  s.served["http://h/a\\..\\..\\x.exe"] = {200, "OK", "MZ"};
  s.p.dialogs.Script({Answer::No, Answer::Yes, Answer::No});
  s.SaveAs("C:\\d\\", 3);
  EXPECT_TRUE(s.check.CheckForUpdate());
  ASSERT_EQ(s.p.dialogs.saveRequests.size(), 1u);
  const SaveFileRequest& asked = s.p.dialogs.saveRequests[0];
  EXPECT_EQ(asked.filter, "Aplikacje (*.EXE)|*.EXE|Archiwum ZIP|*.ZIP|Wszystkie pliki (*.*)|*.*");
  EXPECT_EQ(asked.filterIndex, 1);
  EXPECT_EQ(asked.fileName, "x.exe");  // the page's name, made safe before the user sees it
  EXPECT_TRUE(asked.overwritePrompt && asked.pathMustExist);
  // The page's name cannot lead out of the folder chosen.
  EXPECT_EQ(s.check.TargetPath().rfind("C:\\d\\", 0), 0u);
  EXPECT_EQ(s.check.TargetPath().find('\\', 5), std::string::npos) << s.check.TargetPath();
  EXPECT_EQ(s.p.files.ReadAll(s.check.TargetPath()), "MZ");
}

// Fetching: the proxy handed over, the failure boxes, the page kept for a second check, the
// redirect chain bounded, the ReadMe window and the external ReadMe.
TEST(UpdateFlow, FetchingAndReadMe) {
  {
    SCOPED_TRACE("a failed fetch: the status, then the reason");
    Session s;
    s.served[kPage] = {404, "Host not found", "", 1};
    s.check.SetProxyHost("proxy");
    s.check.SetProxyPort(8080);
    s.p.dialogs.SetDefaultAnswer(Answer::Ok);
    EXPECT_FALSE(s.check.CheckForUpdate());
    EXPECT_EQ(s.Captions(), (std::vector<std::string>{"Sorel Assistant", "Błąd łączenia"}));
    EXPECT_EQ(s.p.dialogs.Calls()[0].text, "404");
    EXPECT_EQ(s.LastText(), "Nie można pobrać informacji o wersji z Internetu.\rBłąd: \"Host not found.\"");
    EXPECT_EQ(s.transport->proxies, (std::vector<std::string>{"proxy:8080"}));
  }
  {
    SCOPED_TRACE("a second check works on the page fetched first");
    Session s;
    s.served[kPage].body = Page("1.0");
    s.p.dialogs.SetDefaultAnswer(Answer::Ok);
    EXPECT_FALSE(s.check.CheckForUpdate());
    EXPECT_FALSE(s.check.CheckForUpdate());
    EXPECT_EQ(s.transport->requests.size(), 1u);
    EXPECT_EQ(s.transport->proxies[0], ":80");
  }
  {
    SCOPED_TRACE("a redirect loop ends after five");
    Session s;
    s.check.InfoTags().RedirectTag = "zel-redirect";
    s.served[kPage].body = Page("2.0", "<META NAME=\"zel-redirect\" CONTENT=\"" + std::string(kPage) + "\">\n");
    s.p.dialogs.SetDefaultAnswer(Answer::Ok);
    EXPECT_FALSE(s.check.CheckForUpdate());
    EXPECT_EQ(s.transport->requests.size(), 6u);
    EXPECT_FALSE(s.check.Active());
    EXPECT_NE(s.LastText().find("Too many redirections"), std::string::npos);
  }
  {
    SCOPED_TRACE("the ReadMe text in its window");
    Session s;
    s.p.dialogs.Script({Answer::Yes, Answer::No});
    EXPECT_FALSE(s.check.CheckForUpdate());
    EXPECT_EQ(s.readMeText, "What is new\r\nin this one\r\n");
    EXPECT_EQ(s.shown, (std::vector<std::string>{"WaitWindow", "WaitWindow", "ReadMe"}));
  }
  for (const char* name : {"notes.txt", "setup.exe", "no temporary folder"}) {
    SCOPED_TRACE(std::string("an external ReadMe: ") + name);
    Session s;
    const bool noTemp = std::string(name) == "no temporary folder";
    if (noTemp) {
      name = "notes.txt";
      s.p.shell.tempFolder = "";
    }
    const std::string url = std::string("http://www.velmora.example/") + name;
    s.check.InfoTags().ReadMeExtTag = "zel-readme-ext";
    s.served[kPage].body = Page("2.0", "<META NAME=\"zel-readme-ext\" CONTENT=\"" + url + "\">\n");
    s.served[url] = {200, "OK", "text"};
    s.p.dialogs.SetDefaultAnswer(Answer::Ok);
    EXPECT_TRUE(s.check.ShowReadMe(false));
    const bool document = std::string(name) == "notes.txt" && !noTemp;
    EXPECT_EQ(s.p.shell.documentsOpened.size(), document ? 1u : 0u);
    EXPECT_EQ(s.Captions(), document ? std::vector<std::string>{} : std::vector<std::string>{"Błąd"});
    // Not a document: not opened, so the ReadMe text window follows.
    EXPECT_EQ(s.readMeText.empty(), document);
  }
}

}  // namespace
}  // namespace sorel
