// The update component's network half: fetching the page, the ReadMe, the download, starting the
// installer, and the handler for the transport's errors.
#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "platform/errors.h"
#include "update/WebFileInfo.h"
#include "update/update_signature.h"
#include "update/update_windows.h"
#include "update/web_page.h"

namespace sorel {

namespace {

// The fixed texts; "\r" splits a message box's text into lines.
const char* const kNoUrlCaption = "Brakuje adresu domowego URL";
const char* const kNoUrlText = "Brak możliwości pobrania informacji o wersji\rz powodu braku adresu URL.";
const char* const kNoTagCaption = "Brakująca informacja TAG";
const char* const kNoTagText = "Brak możliwości pobrania informacji o wersji\rnie załączono informacji w TAGu.";
const char* const kSearching = "Poszukiwanie aktualizacji...";
const char* const kConnectCaption = "Błąd łączenia";
const char* const kConnectText = "Nie można pobrać informacji o wersji z Internetu.\r";
const char* const kDownloadCaption = "Błąd pobierania";
const char* const kDownloadText = "Wystąpił błąd podczas pobierania aktualizacji.\r";
const char* const kUnknownError = "Błąd nieznany.";
const char* const kAvailableCaption = "Aktualizacja dostępna";
const char* const kCannotRun = "Nie można uruchomić programu.";
const char* const kSaveFilter = "Aplikacje (*.EXE)|*.EXE|Archiwum ZIP|*.ZIP|Wszystkie pliki (*.*)|*.*";

// A redirect tag that keeps pointing onwards is followed this many times, then the fetch fails.
constexpr int kMaxPageRedirects = 5;
const char* const kTooManyRedirects = "Too many redirections";
const char* const kBusy = "A transfer is already running";
// The page and the ReadMe end after this long whatever the server does, so that a server sending
// a byte now and then cannot keep the wait window up; a download runs while bytes keep coming.
constexpr unsigned kFetchDeadlineMs = 60000;
// A server's text (a reason phrase, a version) is cut to this many characters in a box.
constexpr std::size_t kMaxServerText = 200;
// An installer is a few megabytes; a larger download is refused before it fills the disk, and a
// signed one is read whole to be verified.
constexpr std::size_t kMaxDownloadBytes = 128 * 1024 * 1024;
// The download's file until it is complete (and verified): beside the target, so that the move
// into place stays on one drive.
const char* const kPartialSuffix = ".part";

std::string Shown(const std::string& serverText) {
  return serverText.size() <= kMaxServerText ? serverText : serverText.substr(0, kMaxServerText) + "...";
}

std::string ErrorLine(const std::string& lastError) {
  return lastError.empty() ? std::string(kUnknownError) : "Błąd: \"" + Shown(lastError) + ".\"";
}

std::string VersionLines(const std::string& current, const std::string& page) {
  return "Bieżący numer wersji: " + Shown(current) + ".\rWersja " + Shown(page) + " jest dostępna w sieci.\r";
}

// A status other than 200 fails the transfer; an error status without a reason phrase still
// needs words for the user.
std::string FailureOf(int status, const std::string& reason) {
  return reason.empty() ? "HTTP " + std::to_string(status) : reason;
}

std::int32_t To32(std::int64_t n) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(n, INT32_MIN, INT32_MAX));
}

// A download's file as the transport's receiving stream; closed when the stream goes.
class FileReceiveStream : public ReceiveStream {
 public:
  explicit FileReceiveStream(std::unique_ptr<OutputFile> file) : file_(std::move(file)) {}
  void Write(const char* data, std::size_t size) override {
    if (size > kMaxDownloadBytes - written_)
      throw std::length_error("The download is larger than " + std::to_string(kMaxDownloadBytes) + " bytes");
    file_->Write(data, size);
    written_ += size;
  }

 private:
  std::unique_ptr<OutputFile> file_;
  std::size_t written_ = 0;
};

}  // namespace

void THttpEvents::HttpRequestDone(int error) { owner_.RequestDone(error); }

void TWebFileInfo::Attach(Platform& platform, TransportFactory makeTransport) {
  p_ = &platform;
  makeTransport_ = std::move(makeTransport);
}

TWebFileInfo::~TWebFileInfo() {
  // The application must not keep calling a handler that is gone.
  if (hooked_ && p_) p_->app.OnException = std::move(previousHandler_);
  if (transport_) {
    transport_->OnRequestDone = nullptr;
    transport_->OnDocData = nullptr;
    transport_->RcvdStream = nullptr;
  }
}

bool TWebFileInfo::CheckForUpdate() {
  // A window the check's modal one could not disable must not start a check inside this one.
  if (checking_) return false;
  checking_ = true;
  struct Running {
    bool& flag;
    ~Running() { flag = false; }
  } running{checking_};
  return RunCheck();
}

bool TWebFileInfo::RunCheck() {
  if (!FetchInfo()) {
    p_->dialogs.MessageBox(kConnectText + ErrorLine(lastError_), kConnectCaption, Buttons::Ok, Icon::Warning);
    return false;
  }
  if (!IsNewerVersion()) {
    p_->dialogs.MessageBox("Aktualizacja nie jest dostępna.", "Nie znaleziono aktualizacji",
                           Buttons::Ok, Icon::Information);
    return false;
  }
  if (Options().Contains(TWfiOption::wfioDisplayReadMe)) ShowReadMe(true);
  if (p_->dialogs.MessageBox(VersionLines(CurrentVersion(), ProductVersion()) + "Pobrać aktualizację?",
                             kAvailableCaption, Buttons::YesNo, Icon::Question) != Answer::Yes)
    return false;

  SaveFileRequest request;
  request.filter = kSaveFilter;
  request.fileName = SafeDownloadName();
  request.filterIndex = 1;
  request.overwritePrompt = true;
  request.pathMustExist = true;
  const auto choice = p_->dialogs.SaveFile(request);
  if (!choice) return false;
  switch (DownloadVerified(WithDefaultExtension(choice->path, choice->filterIndex))) {
    case Downloaded::Refused:
      return false;
    case Downloaded::Failed:
      p_->dialogs.MessageBox(kDownloadText + ErrorLine(lastError_), kDownloadCaption, Buttons::Ok, Icon::Warning);
      return false;
    case Downloaded::Kept:
      break;
  }
  if (publicKey_.empty()) {
    // Nothing this build cannot verify is started: the user is told where the file is.
    p_->dialogs.MessageBox(SignatureTexts.savedUnchecked(targetPath_), kAvailableCaption, Buttons::Ok, Icon::Information);
    return true;
  }
  return InstallUpdate();
}

// The last steps of a check: ask, start the downloaded file, and end the program if told to.
bool TWebFileInfo::InstallUpdate() {
  if (!Options().Contains(TWfiOption::wfioRunUpdate)) return true;
  const bool exits = Options().Contains(TWfiOption::wfioExitDuringUpdate);
  std::string question = "Czy chesz teraz zainstalować aktualizację?";
  if (exits) question += "\rTo spowoduje zakończenie " + p_->app.Title() + ".";
  if (p_->dialogs.MessageBox(question, "Instalacja aktualizacji", Buttons::YesNo, Icon::Question) != Answer::Yes)
    return true;
  // The program is about to end: unsaved edits get their question first, and Cancel keeps both
  // the program and the edits, without starting the installer.
  if (exits && OnEndQuery && !OnEndQuery()) return true;
  if (p_->shell.OpenDocument(targetPath_, RunParams())) {
    if (exits) p_->app.Terminate();
    return true;
  }
  p_->dialogs.MessageBox(kCannotRun, "Błąd", Buttons::Ok, Icon::Warning);
  return true;
}

bool TWebFileInfo::FetchInfo() {
  try {
    return FetchPage(0);
  } catch (...) {
    // A page that breaks the parser (a bad date) ends the fetch; its window goes with it.
    wait_ = {};
    DropStream();
    throw;
  }
}

bool TWebFileInfo::FetchPage(int redirects) {
  if (active_) return true;
  if (HomeURL().empty()) {
    p_->dialogs.MessageBox(kNoUrlText, kNoUrlCaption, Buttons::Ok, Icon::Warning);
    return false;
  }
  const TWfiTags& t = InfoTags();
  if (t.ProductNameTag.empty() && t.ReadMeTag.empty() && t.ReadMeExtTag.empty() && t.VersionTag.empty() &&
      t.DateTag.empty() && t.AuthorTag.empty() && t.DownloadTag.empty() && t.RedirectTag.empty() &&
      t.RunParamsTag.empty()) {
    p_->dialogs.MessageBox(kNoTagText, kNoTagCaption, Buttons::Ok, Icon::Warning);
    return false;
  }
  if (!transport_) {
    events_ = std::make_unique<THttpEvents>(*this);
    transport_ = makeTransport_();
    transport_->OnRequestDone = [this](int error) { events_->HttpRequestDone(error); };
  }
  if (ProxyHost().empty()) {
    transport_->Proxy.clear();
    transport_->ProxyPort = "80";
  } else {
    transport_->Proxy = ProxyHost();
    transport_->ProxyPort = std::to_string(ProxyPort());
  }
  const std::string text = Transfer(redirectURL_.empty() ? HomeURL() : redirectURL_, kSearching);
  // After the transport's exception its box has spoken; otherwise a failed status gets its own.
  const int status = transport_->StatusCode();
  if (!excepted_ && status != 200) {
    lastError_ = FailureOf(status, transport_->ReasonPhrase());
    p_->dialogs.MessageBox(std::to_string(status), p_->app.Title(), Buttons::Ok, Icon::None);
  }
  ClearPageValues();
  const bool fetched = lastError_.empty();
  if (fetched) ReadPage(text);

  if (!redirectURL_.empty()) {
    if (redirects < kMaxPageRedirects) return active_ = FetchPage(redirects + 1);
    lastError_ = kTooManyRedirects;
    redirectURL_.clear();
    wait_ = {};
    return active_ = false;
  }
  wait_ = {};
  return active_ = fetched;
}

// Every transfer hooks the exception handler anew: an earlier exception unhooked it. False, with
// the reason in LastError, while another transfer's window is up.
bool TWebFileInfo::BeginTransfer() {
  lastError_.clear();
  excepted_ = false;
  if (transferring_) {
    lastError_ = kBusy;
    return false;
  }
  HookExceptions();
  return true;
}

// Fetches url into memory behind the wait window (made once, shown again for a redirect) and
// returns what arrived; "" when the exception handler dropped it.
std::string TWebFileInfo::Transfer(const std::string& url, const std::string& waitText) {
  if (!BeginTransfer()) return {};
  auto page = std::make_unique<MemoryReceiveStream>();
  MemoryReceiveStream* received = page.get();
  stream_ = std::move(page);
  transport_->RcvdStream = stream_.get();
  transport_->URL = url;
  transport_->DeadlineMs = kFetchDeadlineMs;
  transport_->GetASync();
  if (!wait_.self) wait_ = CreateWaitWindow(*p_, uiFont_, waitText, [this] { transport_->Abort(); });
  transferring_ = true;
  wait_.self->ShowModal();
  transferring_ = false;
  released_.clear();  // windows the exception handler let go while they were shown
  std::string text = stream_ ? std::move(received->bytes) : std::string();
  DropStream();
  return text;
}

void TWebFileInfo::DropStream() {
  if (transport_) transport_->RcvdStream = nullptr;
  stream_.reset();
}

void TWebFileInfo::RequestDone(int error) {
  lastError_ = error != 0 ? transport_->ReasonPhrase() : std::string();
  if (wait_.self) wait_.self->SetModalResult(kModalOk);
  if (progress_) progress_->TransferEnded();
}

bool TWebFileInfo::DownloadUpdate(const std::string& path) { return DownloadVerified(path) == Downloaded::Kept; }

TWebFileInfo::Downloaded TWebFileInfo::DownloadVerified(const std::string& path) {
  if (!active_ && !FetchInfo()) return Downloaded::Failed;
  targetPath_ = !path.empty() && path.back() == '\\' ? path + SafeDownloadName() : path;
  const std::string partial = Receive(DownloadURL(), targetPath_, "Pobieranie aktualizacji");
  if (partial.empty()) return Downloaded::Failed;
  if (!KeepSigned(partial)) {
    p_->dialogs.MessageBox(SignatureTexts.notSigned, kDownloadCaption, Buttons::Ok, Icon::Warning);
    return Downloaded::Refused;
  }
  return Downloaded::Kept;
}

// The whole file against the page's signature, before it may take the target's place: a file
// that does not verify is deleted. Without a key the file is kept, and never started.
bool TWebFileInfo::KeepSigned(const std::string& partial) {
  if (!publicKey_.empty() &&
      CheckSignature(p_->files.ReadAll(partial), productSignature_, publicKey_) != SignatureCheck::Valid) {
    p_->files.Remove(partial);
    return false;
  }
  MoveIntoPlace(partial, targetPath_);
  return true;
}

// A target that cannot be replaced (a file in use) keeps what it held; the download goes.
void TWebFileInfo::MoveIntoPlace(const std::string& partial, const std::string& path) {
  try {
    p_->files.Replace(partial, path);
  } catch (...) {
    p_->files.Remove(partial);
    throw;
  }
}

// The download's name from the page, made safe to put after a folder; "" when the address ends
// without one.
std::string TWebFileInfo::SafeDownloadName() const {
  return downloadFileName_.empty() ? std::string() : SafeFileName(downloadFileName_);
}

bool TWebFileInfo::DownloadFile(const std::string& url, const std::string& path, const std::string& title) {
  const std::string partial = Receive(url, path, title);
  if (partial.empty()) return false;
  MoveIntoPlace(partial, path);
  return true;
}

// Downloads url behind the progress window into the file beside path and returns that file's
// name; "" when the transfer failed, the file removed again.
std::string TWebFileInfo::Receive(const std::string& url, const std::string& path, const std::string& title) {
  if (!BeginTransfer()) return {};
  const std::string partial = path + kPartialSuffix;
  stream_ = std::make_unique<FileReceiveStream>(p_->files.Create(partial));
  transport_->RcvdStream = stream_.get();
  transport_->OnDocData = [this] { DocData(); };
  transport_->URL = url;
  transport_->DeadlineMs = 0;
  transport_->GetASync();
  auto progress = std::make_unique<TWebDlProgress>(*p_, uiFont_, title, [this] { transport_->Abort(); });
  progress_ = progress.get();
  transferring_ = true;
  progress->ShowModal();  // the transfer's status below says how it ended
  transferring_ = false;
  progress_ = nullptr;
  // Only a whole response of status 200 is the file; the transport's exception means it is not.
  const int status = transport_->StatusCode();
  const bool ok = status == 200 && !excepted_;
  if (!ok && !excepted_) lastError_ = FailureOf(status, transport_->ReasonPhrase());
  transport_->OnDocData = nullptr;
  DropStream();  // closes the file
  if (ok) return partial;
  p_->files.Remove(partial);
  return {};
}

void TWebFileInfo::DocData() {
  const std::int64_t received = transport_->RcvdCount(), total = transport_->ContentLength();
  if (progress_) progress_->ShowProgress(received, total);
  if (OnDownloadProgress) OnDownloadProgress(*this, To32(received), To32(total));
}

bool TWebFileInfo::ShowReadMe(bool ask) {
  if (!active_ && !FetchInfo()) return false;
  if (ProductReadMe().empty() && ProductReadMeExt().empty()) return false;
  if (ask && p_->dialogs.MessageBox(VersionLines(CurrentVersion(), ProductVersion()) +
                                        "Czy chcesz przeczytać plik ReadMe?",
                                    kAvailableCaption, Buttons::YesNo, Icon::Question) != Answer::Yes)
    return false;
  if (!ProductReadMeExt().empty()) {
    if (OpenExternalReadMe()) return true;
    p_->dialogs.MessageBox(kCannotRun, "Błąd", Buttons::Ok, Icon::Warning);
  }
  if (!ProductReadMe().empty()) {
    if (auto window = CreateReadMeWindow()) window->self->ShowModal();
  }
  return true;
}

// Downloads the external ReadMe into the temporary folder and opens it. Only documents are
// downloaded and handed to the shell: a page must not get a program started.
bool TWebFileInfo::OpenExternalReadMe() {
  const std::string name = SafeFileName(LastUrlSegment(ProductReadMeExt()));
  if (!IsDocumentName(name)) return false;
  // Without a temporary folder the name alone would land in the current folder, wherever that is.
  const std::string folder = p_->shell.TempFolder();
  if (folder.empty()) return false;
  const std::string local = EnsureTrailingBackslash(folder) + name;
  return DownloadFile(ProductReadMeExt(), local, "Pobieranie ReadMe") && p_->shell.OpenDocument(local, "");
}

std::optional<ReadMeWindow> TWebFileInfo::CreateReadMeWindow() {
  wait_ = {};
  const std::string text = Transfer(ProductReadMe(), "Pobieranie ReadMe...");
  std::optional<ReadMeWindow> window;
  const int status = transport_->StatusCode();
  if (!lastError_.empty() || excepted_) {
    // Refused or dropped by the exception handler: no window.
  } else if (status != 200) {
    lastError_ = FailureOf(status, transport_->ReasonPhrase());
  } else {
    window = BuildReadMeWindow(*p_, uiFont_, JoinLines(SplitLines(text)));
  }
  wait_ = {};
  return window;
}

void TWebFileInfo::HookExceptions() {
  if (hooked_) return;
  previousHandler_ = p_->app.OnException;
  p_->app.OnException = [this](const std::exception& e) { HandleAppException(e); };
  hooked_ = true;
}

void TWebFileInfo::UnhookExceptions() {
  if (!hooked_) return;
  p_->app.OnException = std::move(previousHandler_);
  previousHandler_ = nullptr;
  hooked_ = false;
}

void TWebFileInfo::HandleAppException(const std::exception& e) {
  if (!dynamic_cast<const EHttpException*>(&e)) {
    // Not ours: the handler that was there before gets it. Without one the application's own
    // display shows it, so that a failed save after an update check is not silently lost.
    if (previousHandler_) {
      previousHandler_(e);
    } else {
      auto mine = std::move(p_->app.OnException);
      p_->app.OnException = nullptr;
      p_->app.ShowException(e);
      p_->app.OnException = std::move(mine);
    }
    return;
  }
  lastError_ = e.what();
  excepted_ = true;
  if (wait_.self) {
    wait_.self->SetModalResult(kModalCancel);
    released_.push_back(std::move(wait_));
    wait_ = {};
  }
  if (progress_) {
    progress_->TransferFailed();
    progress_ = nullptr;
  }
  DropStream();
  if (transport_) transport_->OnDocData = nullptr;
  UnhookExceptions();
  p_->dialogs.MessageBox(
      std::string("Wystąpił błąd podczas pobierania informacji o aktualizacji.\rWyjątek: ") + e.what() + ".",
      "Wyjątek", Buttons::Ok, Icon::Warning);
}

}  // namespace sorel
