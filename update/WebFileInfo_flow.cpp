// The update component's network half: fetching the page, the ReadMe, the download, starting the
// installer, and the handler for the transport's errors.
#include <algorithm>
#include <cstdint>

#include "platform/errors.h"
#include "update/WebFileInfo.h"
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

std::string ErrorLine(const std::string& lastError) {
  return lastError.empty() ? std::string(kUnknownError) : "Błąd: \"" + lastError + ".\"";
}

std::string VersionLines(const std::string& current, const std::string& page) {
  return "Bieżący numer wersji: " + current + ".\rWersja " + page + " jest dostępna w sieci.\r";
}

std::int32_t To32(std::int64_t n) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(n, INT32_MIN, INT32_MAX));
}

// A download's file as the transport's receiving stream; closed when the stream goes.
class FileReceiveStream : public ReceiveStream {
 public:
  explicit FileReceiveStream(std::unique_ptr<OutputFile> file) : file_(std::move(file)) {}
  void Write(const char* data, std::size_t size) override { file_->Write(data, size); }

 private:
  std::unique_ptr<OutputFile> file_;
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
  if (!FetchInfo()) {
    p_->dialogs.MessageBox(kConnectText + ErrorLine(lastError_), kConnectCaption, Mb::Ok | Mb::IconWarning);
    return false;
  }
  if (!IsNewerVersion()) {
    p_->dialogs.MessageBox("Aktualizacja nie jest dostępna.", "Nie znaleziono aktualizacji",
                           Mb::Ok | Mb::IconInformation);
    return false;
  }
  if (Options().Contains(TWfiOption::wfioDisplayReadMe)) ShowReadMe(true);
  if (p_->dialogs.MessageBox(VersionLines(CurrentVersion(), ProductVersion()) + "Pobrać aktualizację?",
                             kAvailableCaption, Mb::YesNo | Mb::IconQuestion) != Answer::Yes)
    return false;

  SaveFileRequest request;
  request.filter = kSaveFilter;
  request.fileName = SafeDownloadName();
  request.filterIndex = 1;
  request.overwritePrompt = true;
  request.pathMustExist = true;
  const auto choice = p_->dialogs.SaveFile(request);
  if (!choice) return false;
  if (!DownloadUpdate(WithDefaultExtension(choice->path, choice->filterIndex))) {
    p_->dialogs.MessageBox(kDownloadText + ErrorLine(lastError_), kDownloadCaption, Mb::Ok | Mb::IconWarning);
    return false;
  }
  return InstallUpdate();
}

// The last steps of a check: ask, start the downloaded file, and end the program if told to.
bool TWebFileInfo::InstallUpdate() {
  if (!Options().Contains(TWfiOption::wfioRunUpdate)) return true;
  const bool exits = Options().Contains(TWfiOption::wfioExitDuringUpdate);
  std::string question = "Czy chesz teraz zainstalować aktualizację?";
  if (exits) question += "\rTo spowoduje zakończenie " + p_->app.Title() + ".";
  if (p_->dialogs.MessageBox(question, "Instalacja aktualizacji", Mb::YesNo | Mb::IconQuestion) != Answer::Yes)
    return true;
  if (p_->shell.OpenDocument(targetPath_, RunParams()) > 32) {
    if (exits) p_->app.Terminate();
    return true;
  }
  p_->dialogs.MessageBox(kCannotRun, "Błąd", Mb::Ok | Mb::IconWarning);
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
    p_->dialogs.MessageBox(kNoUrlText, kNoUrlCaption, Mb::Ok | Mb::IconWarning);
    return false;
  }
  const TWfiTags& t = InfoTags();
  if (t.ProductNameTag.empty() && t.ReadMeTag.empty() && t.ReadMeExtTag.empty() && t.VersionTag.empty() &&
      t.DateTag.empty() && t.AuthorTag.empty() && t.DownloadTag.empty() && t.RedirectTag.empty() &&
      t.RunParamsTag.empty()) {
    p_->dialogs.MessageBox(kNoTagText, kNoTagCaption, Mb::Ok | Mb::IconWarning);
    return false;
  }
  HookExceptions();
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
  if (transport_->StatusCode() > 200) {
    lastError_ = transport_->ReasonPhrase();
    p_->dialogs.MessageBox(std::to_string(transport_->StatusCode()), p_->app.Title(), Mb::Ok);
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

// Fetches url into memory behind the wait window (made once, shown again for a redirect) and
// returns what arrived; "" when the exception handler dropped it.
std::string TWebFileInfo::Transfer(const std::string& url, const std::string& waitText) {
  auto page = std::make_unique<MemoryReceiveStream>();
  MemoryReceiveStream* received = page.get();
  stream_ = std::move(page);
  transport_->RcvdStream = stream_.get();
  lastError_.clear();
  transport_->URL = url;
  transport_->GetASync();
  if (!wait_.self) wait_ = CreateWaitWindow(*p_, uiFont_, waitText);
  wait_.self->ShowModal();
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
  if (wait_.self) wait_.self->SetModalResult(Answer::Ok);
  if (progress_) progress_->Self().SetModalResult(progress_->Cancelled() ? Answer::Cancel : Answer::Ok);
}

bool TWebFileInfo::DownloadUpdate(const std::string& path) {
  if (!active_ && !FetchInfo()) return false;
  targetPath_ = !path.empty() && path.back() == '\\' ? path + SafeDownloadName() : path;
  return DownloadFile(DownloadURL(), targetPath_, "Pobieranie aktualizacji");
}

// The download's name from the page, made safe to put after a folder; "" when the address ends
// without one.
std::string TWebFileInfo::SafeDownloadName() const {
  return downloadFileName_.empty() ? std::string() : SafeFileName(downloadFileName_);
}

bool TWebFileInfo::DownloadFile(const std::string& url, const std::string& path, const std::string& title) {
  lastError_.clear();
  stream_ = std::make_unique<FileReceiveStream>(p_->files.Create(path));
  transport_->RcvdStream = stream_.get();
  transport_->OnDocData = [this] { DocData(); };
  transport_->URL = url;
  transport_->GetASync();
  auto progress = std::make_unique<TWebDlProgress>(*p_, uiFont_);
  progress->lblDownloading->SetCaption(title);
  progress->OnCancel = [this] { transport_->Abort(); };
  progress_ = progress.get();
  progress->Self().ShowModal();
  progress_ = nullptr;
  // No status at all means the transfer never ended properly: not a success.
  const int status = transport_->StatusCode();
  const bool ok = status > 0 && status <= 200;
  if (!ok) lastError_ = transport_->ReasonPhrase();
  transport_->OnDocData = nullptr;
  DropStream();
  return ok;
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
                                    kAvailableCaption, Mb::YesNo | Mb::IconQuestion) != Answer::Yes)
    return false;
  if (!ProductReadMeExt().empty()) {
    if (OpenExternalReadMe()) return true;
    p_->dialogs.MessageBox(kCannotRun, "Błąd", Mb::Ok | Mb::IconWarning);
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
  const std::string local = p_->shell.TempFolder() + name;
  return DownloadFile(ProductReadMeExt(), local, "Pobieranie ReadMe") && p_->shell.OpenDocument(local, "") > 32;
}

std::optional<ReadMeWindow> TWebFileInfo::CreateReadMeWindow() {
  wait_ = {};
  const std::string text = Transfer(ProductReadMe(), "Pobieranie ReadMe...");
  const bool dropped = !lastError_.empty() && transport_->StatusCode() <= 200;
  std::optional<ReadMeWindow> window;
  if (transport_->StatusCode() > 200) {
    lastError_ = transport_->ReasonPhrase();
  } else if (!dropped) {
    std::string joined;
    for (const auto& line : SplitLines(text)) joined += line + "\r\n";
    window = BuildReadMeWindow(*p_, uiFont_, joined);
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
  if (wait_.self) {
    wait_.self->SetModalResult(Answer::Cancel);
    released_.push_back(std::move(wait_));
    wait_ = {};
  }
  if (progress_) {
    progress_->Self().SetModalResult(Answer::Cancel);
    progress_ = nullptr;
  }
  DropStream();
  if (transport_) transport_->OnDocData = nullptr;
  UnhookExceptions();
  p_->dialogs.MessageBox(
      std::string("Wystąpił błąd podczas pobierania informacji o aktualizacji.\rWyjątek: ") + e.what() + ".",
      "Wyjątek", Mb::Ok | Mb::IconWarning);
}

}  // namespace sorel
