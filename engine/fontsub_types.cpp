// The font records behind the tree's scripts: TFontStruct and its owning list TFontList.
#include "engine/fontsub_types.h"

namespace sorel {

TFontStruct* TFontList::Add(const std::string& face, std::int32_t charset, ItemId item) {
  auto record = std::make_unique<TFontStruct>();
  record->FaceName = face;
  record->Charset = charset;
  record->Item = item;
  records_.push_back(std::move(record));
  return records_.back().get();
}

TFontStruct* TFontList::Item(int index) const {
  return index >= 0 && index < Count() ? records_[index].get() : nullptr;
}

int TFontList::FaceState(const std::string& face) const {
  bool anyEnabled = false, anyDisabled = false;
  for (const auto& record : records_) {
    if (record->FaceName != face) continue;
    (record->Enabled ? anyEnabled : anyDisabled) = true;
  }
  if (!anyEnabled) return 0;
  return anyDisabled ? 2 : 1;
}

}  // namespace sorel
