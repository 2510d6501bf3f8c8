// The update component TWebFileInfo: its settings, the values read from the information page and
// the version test. Fetching, the windows and the download flow live in other files of the class.
#pragma once
#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/services.h"
#include "toolkit/http/http_transport.h"
#include "update/update_windows.h"
#include "update/web_page.h"

namespace sorel {

enum class TWfiOption : std::uint8_t {
  wfioAlwaysOverwrite,   // kept only; an existing target is replaced either way
  wfioDisplayUI,         // the wait and progress windows; always in the set
  wfioDisplayReadMe,     // offer the ReadMe before the download question
  wfioRunUpdate,         // ask to start the downloaded file
  wfioExitDuringUpdate,  // and end the program once it has started
};

// A set of TWfiOption.
class TWfiOptions {
 public:
  constexpr TWfiOptions() = default;
  constexpr TWfiOptions(std::initializer_list<TWfiOption> members) {
    for (TWfiOption m : members) Include(m);
  }
  constexpr bool Contains(TWfiOption m) const { return (bits_ & Bit(m)) != 0; }
  constexpr TWfiOptions& Include(TWfiOption m) {
    bits_ = static_cast<std::uint8_t>(bits_ | Bit(m));
    return *this;
  }
  constexpr TWfiOptions& Exclude(TWfiOption m) {
    bits_ = static_cast<std::uint8_t>(bits_ & ~Bit(m));
    return *this;
  }
  constexpr bool operator==(const TWfiOptions&) const = default;

 private:
  static constexpr std::uint8_t Bit(TWfiOption m) { return static_cast<std::uint8_t>(1u << static_cast<unsigned>(m)); }
  std::uint8_t bits_ = 0;
};

// The names of the META values to look for on the page; "" looks for lines with an empty name.
class TWebFileInfo;

// Receives the transport's request-done event for the component.
class THttpEvents {
 public:
  explicit THttpEvents(TWebFileInfo& owner) : owner_(owner) {}
  void HttpRequestDone(int error);

 private:
  TWebFileInfo& owner_;
};

// SignatureTag names the value holding the maker's signature of the file at the download address.
struct TWfiTags {
  std::string AuthorTag, AuthorEMailTag, DateTag, DownloadTag, ProductNameTag, ReadMeTag, ReadMeExtTag, RedirectTag,
      RunParamsTag, VersionTag, SignatureTag;
};

// The texts of the signature check, in the user's language; Polish until the owner sets them.
struct TWfiSignatureTexts {
  std::string notSigned = "Pobrany plik nie jest podpisany przez autora programu; został usunięty.";
  // Where the file was saved, by a build that cannot check signatures.
  std::function<std::string(const std::string& path)> savedUnchecked = [](const std::string& path) {
    return "Aktualizacja została zapisana jako " + path +
           ". Ta kopia programu nie może sprawdzić podpisu autora, więc jej nie uruchamia.";
  };
};

class TWebFileInfo {
 public:
  // ownerFont gives the owner form's font, which UIFont follows while UIOwnerFont is true; none
  // leaves UIFont as it is.
  explicit TWebFileInfo(std::function<FontSpec()> ownerFont = nullptr);
  ~TWebFileInfo();
  TWebFileInfo(const TWebFileInfo&) = delete;
  TWebFileInfo& operator=(const TWebFileInfo&) = delete;

  // True once the page has been fetched and parsed. Only false can be written: the next use then
  // fetches the page again.
  bool Active() const { return active_; }
  void SetActive(bool active);
  const std::string& CurrentVersion() const { return currentVersion_; }
  void SetCurrentVersion(const std::string& version) { currentVersion_ = version; }
  TWfiDateFormat DateFormat() const { return dateFormat_; }
  void SetDateFormat(TWfiDateFormat format) { dateFormat_ = format; }
  const std::string& HomeURL() const { return homeURL_; }
  // Takes an address whose first seven characters are "http://" in any case, and makes the next
  // use fetch again; any other value is ignored and the old address stays.
  void SetHomeURL(const std::string& url);
  const TWfiTags& InfoTags() const { return infoTags_; }
  TWfiTags& InfoTags() { return infoTags_; }
  void SetInfoTags(const TWfiTags& tags) { infoTags_ = tags; }
  // The last transfer's error text; "" after a transfer that succeeded.
  const std::string& LastError() const { return lastError_; }
  TWfiOptions Options() const { return options_; }
  // wfioDisplayUI is always added: a transfer is waited for in those windows.
  void SetOptions(TWfiOptions options);
  const std::string& ProxyHost() const { return proxyHost_; }  // "" for a direct connection
  void SetProxyHost(const std::string& host) { proxyHost_ = host; }
  std::int32_t ProxyPort() const { return proxyPort_; }
  void SetProxyPort(std::int32_t port) { proxyPort_ = port; }
  // The font of the component's windows. While UIOwnerFont is true, reading it first copies the
  // owner's font into it; setting it keeps the copy and sets UIOwnerFont to false.
  const FontSpec& UIFont();
  void SetUIFont(const FontSpec& font);
  bool UIOwnerFont() const { return uiOwnerFont_; }
  void SetUIOwnerFont(bool owner) { uiOwnerFont_ = owner; }
  TWfiVersionFormat VersionFormat() const { return versionFormat_; }
  void SetVersionFormat(TWfiVersionFormat format) { versionFormat_ = format; }
  // The maker's Ed25519 public key (base64). A download is kept and started only when the page's
  // signature of it verifies with this key; without a key nothing downloaded is ever started.
  const std::string& PublicKey() const { return publicKey_; }
  void SetPublicKey(const std::string& base64) { publicKey_ = base64; }
  TWfiSignatureTexts SignatureTexts;
  // Asked before the program ends to let the installer run (the owner's close question); false
  // keeps the program running and the installer is not started.
  std::function<bool()> OnEndQuery;

  // Values of the last page (ClearPageValues empties them before a fetch).
  const std::string& DownloadURL() const { return downloadURL_; }
  const std::string& ProductName() const { return productName_; }
  const std::string& ProductAuthor() const { return productAuthor_; }
  const std::string& ProductAuthorEMail() const { return productAuthorEMail_; }
  double ProductDate() const { return productDate_; }  // days since 1899-12-30; 0 when none
  const std::string& ProductDateStr() const { return productDateStr_; }
  const std::string& ProductReadMe() const { return productReadMe_; }
  const std::string& ProductReadMeExt() const { return productReadMeExt_; }
  const std::string& ProductVersion() const { return productVersion_; }
  const std::string& RunParams() const { return runParams_; }
  const std::string& ProductSignature() const { return productSignature_; }
  const std::string& RedirectURL() const { return redirectURL_; }
  // The download address's last segment (LastUrlSegment), as the page gave it: not yet safe as a
  // file name.
  const std::string& DownloadFileName() const { return downloadFileName_; }
  const std::string& TargetPath() const { return targetPath_; }  // the last download's local path

  // For every received block of a download: bytes so far and the announced size (-1: none).
  std::function<void(TWebFileInfo& sender, std::int32_t received, std::int32_t size)> OnDownloadProgress;

  // Reads the page's lines, first to last. A line with "META NAME" (ExtractTagName) gives its
  // value (ExtractContent) to every tag in InfoTags equal to its name, case and all, in the order
  // ProductName, ReadMe, ReadMeExt, Version, Date, Author, AuthorEMail, Download, Redirect,
  // RunParams, Signature; a later line of the same name overwrites. Values of tags that no line names are
  // left as they were. Then a date text, if any, is converted by DateFormat: ParseDate's
  // EConvertError escapes, with the other values already taken.
  void ParsePage(const std::vector<std::string>& lines);
  // The page as received: its lines (SplitLines) parsed as above, then DownloadFileName taken from
  // DownloadURL.
  void ReadPage(const std::string& text);
  // Empties what a page gives (DownloadURL, the product values, ProductDate 0, RedirectURL,
  // RunParams, the signature) before a fetch; DownloadFileName stays.
  void ClearPageValues();
  // ProductVersion against CurrentVersion in VersionFormat (the free IsNewerVersion).
  bool IsNewerVersion() const;

  // --- The network half (WebFileInfo_flow.cpp) ---
  using TransportFactory = std::function<std::unique_ptr<HttpTransport>()>;
  // The services the flow reaches the system through, and where its transport comes from (made
  // by the first fetch, kept to the end).
  void Attach(Platform& platform, TransportFactory makeTransport);
  // The whole dialogue: fetch, compare, ReadMe, download question, save dialog, download, start.
  // True when an update was downloaded. While one runs, another returns false at once.
  bool CheckForUpdate();
  // Fetches and parses the page unless that has been done; the resulting Active.
  bool FetchInfo();
  // Offers the ReadMe (asking first when ask); true when one was offered and not declined.
  bool ShowReadMe(bool ask);
  // Downloads the update to path (a folder when it ends in "\", the page's file name added). With
  // a public key the file is kept only when its signature verifies (else it is deleted and the
  // user told); true when it was kept.
  bool DownloadUpdate(const std::string& path);
  // Downloads url behind the progress window into a file beside path, which takes path's place
  // once the status is 200; after a failure or a cancel it is removed and path is left as it was.
  bool DownloadFile(const std::string& url, const std::string& path, const std::string& title);
  // The application-wide handler while a check runs: the transport's errors end the transfer
  // with a message; others go to the handler installed before.
  void HandleAppException(const std::exception& e);
 protected:
  // Written by the fetching and download flow.
  bool active_ = false;
  std::string lastError_;
  std::string redirectURL_;
  std::string downloadFileName_;
  std::string targetPath_;
  // The windows use this font object as it is, without reading UIFont again.
  FontSpec uiFont_;

 private:
  friend class THttpEvents;
  enum class Downloaded { Kept, Failed, Refused };
  bool RunCheck();
  bool FetchPage(int redirects);
  bool BeginTransfer();
  std::string Transfer(const std::string& url, const std::string& waitText);
  std::string Receive(const std::string& url, const std::string& path, const std::string& title);
  Downloaded DownloadVerified(const std::string& path);
  bool KeepSigned(const std::string& partial);
  void MoveIntoPlace(const std::string& partial, const std::string& path);
  void DropStream();
  void RequestDone(int error);
  void DocData();
  bool InstallUpdate();
  bool OpenExternalReadMe();
  std::string SafeDownloadName() const;
  std::optional<ReadMeWindow> CreateReadMeWindow();
  void HookExceptions();
  void UnhookExceptions();

  Platform* p_ = nullptr;
  TransportFactory makeTransport_;
  std::unique_ptr<THttpEvents> events_;
  std::unique_ptr<HttpTransport> transport_;
  std::unique_ptr<ReceiveStream> stream_;  // the transport's receiving stream, while one is set
  WaitWindow wait_;                         // the open wait window; none: self empty
  TWebDlProgress* progress_ = nullptr;      // the open progress window, owned by DownloadFile
  std::vector<WaitWindow> released_;        // let go while shown; destroyed once the loop returns
  std::function<void(const std::exception&)> previousHandler_;
  bool hooked_ = false;
  bool checking_ = false;      // a CheckForUpdate is running
  bool transferring_ = false;  // a transfer's window is up
  bool excepted_ = false;      // the transport's exception ended the current transfer
  std::string publicKey_;

  std::function<FontSpec()> ownerFont_;
  std::string currentVersion_;
  TWfiDateFormat dateFormat_ = TWfiDateFormat::wfidZELDate;
  std::string homeURL_;
  TWfiTags infoTags_;
  TWfiOptions options_;
  std::string proxyHost_;
  std::int32_t proxyPort_ = 80;
  bool uiOwnerFont_ = true;
  TWfiVersionFormat versionFormat_ = TWfiVersionFormat::wfivBuildNumber;

  std::string downloadURL_, productName_, productAuthor_, productAuthorEMail_, productDateStr_, productReadMe_,
      productReadMeExt_, productVersion_, runParams_, productSignature_;
  double productDate_ = 0;
};

}  // namespace sorel
