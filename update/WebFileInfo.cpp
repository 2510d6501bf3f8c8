// TWebFileInfo: settings, the page's values and the version test.
#include "update/WebFileInfo.h"

#include <utility>

namespace sorel {

namespace {

// The system's DEFAULT_CHARSET: the font's own character set for the user's locale.
constexpr int kDefaultCharset = 1;

}  // namespace

TWebFileInfo::TWebFileInfo(std::function<FontSpec()> ownerFont)
    : uiFont_{"MS Sans Serif", kDefaultCharset, 8}, ownerFont_(std::move(ownerFont)) {
  SetOptions({TWfiOption::wfioDisplayUI, TWfiOption::wfioDisplayReadMe, TWfiOption::wfioRunUpdate,
              TWfiOption::wfioExitDuringUpdate});
}

void TWebFileInfo::SetActive(bool active) {
  // Only a fetch makes the component active; callers can merely ask for the next one.
  if (!active) active_ = false;
}

void TWebFileInfo::SetHomeURL(const std::string& url) {
  if (url.size() < 7) return;
  for (std::size_t i = 0; i < 7; ++i) {
    const char c = url[i] >= 'A' && url[i] <= 'Z' ? static_cast<char>(url[i] - 'A' + 'a') : url[i];
    if (c != "http://"[i]) return;
  }
  homeURL_ = url;
  active_ = false;
}

void TWebFileInfo::SetOptions(TWfiOptions options) { options_ = options.Include(TWfiOption::wfioDisplayUI); }

const FontSpec& TWebFileInfo::UIFont() {
  if (uiOwnerFont_ && ownerFont_) uiFont_ = ownerFont_();
  return uiFont_;
}

void TWebFileInfo::SetUIFont(const FontSpec& font) {
  uiFont_ = font;
  uiOwnerFont_ = false;
}

void TWebFileInfo::ParsePage(const std::vector<std::string>& lines) {
  // Each tag and the value it fills, in the order the tags are compared.
  static constexpr struct {
    std::string TWfiTags::*tag;
    std::string TWebFileInfo::*value;
  } kTargets[] = {
      {&TWfiTags::ProductNameTag, &TWebFileInfo::productName_},
      {&TWfiTags::ReadMeTag, &TWebFileInfo::productReadMe_},
      {&TWfiTags::ReadMeExtTag, &TWebFileInfo::productReadMeExt_},
      {&TWfiTags::VersionTag, &TWebFileInfo::productVersion_},
      {&TWfiTags::DateTag, &TWebFileInfo::productDateStr_},
      {&TWfiTags::AuthorTag, &TWebFileInfo::productAuthor_},
      {&TWfiTags::AuthorEMailTag, &TWebFileInfo::productAuthorEMail_},
      {&TWfiTags::DownloadTag, &TWebFileInfo::downloadURL_},
      {&TWfiTags::RedirectTag, &TWebFileInfo::redirectURL_},
      {&TWfiTags::RunParamsTag, &TWebFileInfo::runParams_},
      {&TWfiTags::SignatureTag, &TWebFileInfo::productSignature_},
  };
  for (const std::string& line : lines) {
    const std::optional<std::string> name = ExtractTagName(line);
    if (!name) continue;
    std::optional<std::string> content;  // read once, for the first tag that wants it
    for (const auto& target : kTargets) {
      if (infoTags_.*target.tag != *name) continue;
      if (!content) content = ExtractContent(line);
      this->*target.value = *content;
    }
  }
  if (!productDateStr_.empty())
    productDate_ = dateFormat_ == TWfiDateFormat::wfidZELDate ? ParseDate(productDateStr_) : 0;
}

void TWebFileInfo::ReadPage(const std::string& text) {
  ParsePage(SplitLines(text));
  downloadFileName_ = LastUrlSegment(downloadURL_);
}

void TWebFileInfo::ClearPageValues() {
  for (std::string* value : {&downloadURL_, &productName_, &productAuthor_, &productAuthorEMail_, &productDateStr_,
                             &productReadMe_, &productReadMeExt_, &productVersion_, &redirectURL_, &runParams_,
                             &productSignature_})
    value->clear();
  productDate_ = 0;
}

bool TWebFileInfo::IsNewerVersion() const {
  return sorel::IsNewerVersion(currentVersion_, productVersion_, versionFormat_);
}

}  // namespace sorel
