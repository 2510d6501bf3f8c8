// Fuzz target: the update information page over arbitrary bytes, read once with the main window's
// tags and once with every tag empty. Only EConvertError (a bad date) may leave the parse; every
// value must fit its window, a version must not be newer than itself, and every value made into a
// file name must give a safe bare name that stays as it is when made safe again. Any breach aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "update/WebFileInfo.h"

namespace {

using namespace sorel;

[[noreturn]] void Fail(const char* what, const std::string& value) {
  std::fprintf(stderr, "page broken: %s: ", what);
  std::fwrite(value.data(), 1, value.size() < 200 ? value.size() : 200, stderr);
  std::fputc('\n', stderr);
  std::abort();
}

bool IsDevice(std::string base) {
  for (char& c : base) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
  while (!base.empty() && base.back() == ' ') base.pop_back();
  while (!base.empty() && base.front() == ' ') base.erase(0, 1);
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" || base == "CONOUT$")
    return true;
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '0' && base[3] <= '9';
}

void CheckFileName(const std::string& value) {
  const std::string safe = SafeFileName(value);
  if (safe.empty() || safe.size() > kMaxSafeFileName) Fail("file name length", value);
  for (const char c : safe) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 32 || u == 127 || std::strchr("<>:\"/\\|?*", c) != nullptr) Fail("a character the system refuses", value);
  }
  if (safe.back() == '.' || safe.back() == ' ') Fail("a trailing dot or blank", value);
  if (IsDevice(safe.substr(0, safe.find('.')))) Fail("a device name", value);
  if (SafeFileName(safe) != safe) Fail("not stable when made safe again", value);
}

void Check(const TWebFileInfo& info) {
  const std::string values[] = {info.ProductName(),        info.ProductReadMe(),   info.ProductReadMeExt(),
                                info.ProductVersion(),     info.ProductDateStr(),  info.ProductAuthor(),
                                info.ProductAuthorEMail(), info.DownloadURL(),     info.RedirectURL(),
                                info.RunParams(),          info.DownloadFileName()};
  for (const std::string& value : values) {
    if (value.size() >= kPageValueWindow) Fail("a value longer than its window", value);
    CheckFileName(value);
  }
  for (const auto format : {TWfiVersionFormat::wfivBuildNumber, TWfiVersionFormat::wfivSimpleString})
    if (IsNewerVersion(info.ProductVersion(), info.ProductVersion(), format))
      Fail("newer than itself", info.ProductVersion());
}

void Read(TWebFileInfo& info, const std::string& page) {
  try {
    info.ReadPage(page);
  } catch (const EConvertError&) {
    if (info.ProductDateStr().empty()) Fail("a date error without a date", page);
  } catch (const std::exception& e) {
    Fail(e.what(), page);
  } catch (...) {
    Fail("an exception of no known kind", page);
  }
  Check(info);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string page(reinterpret_cast<const char*>(data), size);
  TWebFileInfo mainWindow;
  mainWindow.InfoTags().ReadMeTag = "zel-readme";
  mainWindow.InfoTags().VersionTag = "zel-version";
  mainWindow.InfoTags().DownloadTag = "zel-url";
  Read(mainWindow, page);
  TWebFileInfo everyTagEmpty;
  Read(everyTagEmpty, page);
  return 0;
}
