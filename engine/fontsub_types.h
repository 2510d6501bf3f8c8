// The font records behind the tree's script nodes: TFontStruct and its owning list TFontList.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/controls.h"

namespace sorel {

// What a script node's text carries while its record is Western-mapped.
inline constexpr const char* kWesternMark = " -> [Western]";

// One face in one non-Western character set, as a script node of the tree shows it.
struct TFontStruct {
  std::string FaceName;
  std::int32_t Charset = 0;
  bool Enabled = false;        // the script entry of this face and character set is wanted
  bool WesternMapped = false;  // the face's Western entry, mapped to this character set, is wanted
  NodeId NodeItemId = 0;       // the script node that shows this record
};

// Owns the records in the order they were added; they are never reordered. A record keeps its
// address until the list is cleared or destroyed, because the editing model links nodes to it.
class TFontList {
 public:
  // Appends a record with Enabled and WesternMapped false and returns it.
  TFontStruct* Add(const std::string& face, std::int32_t charset, NodeId nodeItemId);
  void Clear() { records_.clear(); }
  int Count() const { return static_cast<int>(records_.size()); }
  // The record at index, or nullptr when index is negative or not below Count().
  TFontStruct* Item(int index) const;
  // Over the records whose FaceName is face exactly (letter case counts): 0 when none is
  // Enabled, 1 when all are, 2 when some are; 0 when no record has that face.
  int FaceState(const std::string& face) const;

 private:
  std::vector<std::unique_ptr<TFontStruct>> records_;
};

}  // namespace sorel
