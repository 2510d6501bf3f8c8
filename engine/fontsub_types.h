// The font records behind the tree's scripts: TFontStruct and its owning list TFontList.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>


namespace sorel {

// The model's own number for a face or a script of the font tree; 0 is none. A model never gives
// one number twice, so an item of an older tree leads nowhere.
using ItemId = std::uint32_t;

// The box a face or script shows: None for no box, Off empty, On ticked, Mixed for a face whose
// scripts are partly on.
enum class Check { None, Off, On, Mixed };

// What a script's text carries while its record is Western-mapped.
inline constexpr const char* kWesternMark = " -> [Western]";

// One face in one non-Western character set, as a script of the tree shows it.
struct TFontStruct {
  std::string FaceName;
  std::int32_t Charset = 0;
  bool Enabled = false;        // the script entry of this face and character set is wanted
  bool WesternMapped = false;  // the face's Western entry, mapped to this character set, is wanted
  ItemId Item = 0;             // the script that shows this record
};

// Owns the records in the order they were added; they are never reordered. A record keeps its
// address until the list is cleared or destroyed, because the editing model links items to it.
class TFontList {
 public:
  // Appends a record with Enabled and WesternMapped false and returns it.
  TFontStruct* Add(const std::string& face, std::int32_t charset, ItemId item);
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
