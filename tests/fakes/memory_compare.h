// Locale-aware text comparison emulated the way Wine 8 compares texts in the default sort order.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "platform/text_compare.h"

namespace sorel {

// Builds a sort key as LCMapStringA(LCMAP_SORTKEY) does under Wine 8 for the user default locale
// (its default sort table) and the ANSI code page codePage (1252 or 1250; any other number is
// read as 1252). The text ends at its first zero byte. Layout of the key:
//   primary weights (two bytes per letter, digit or symbol; ae and the like give two), 01,
//   diacritic weights (one per primary weight, trailing 02s dropped), 01,
//   case weights (the same; with ignoreCase the upper-case and sub/superscript bits cleared), 01,
//   01 (weights of East Asian scripts, never present here),
//   for every hyphen, apostrophe, dash or control character: FFFF minus the number of primary
//   weights before it (two bytes, big-endian), its weight, 12 — these "word sort" characters are
//   invisible to the earlier levels, so "co-op" equals "coop" up to here,
//   00.
// A soft hyphen (0xAD) leaves no trace at all. Comparing two keys bytewise gives CompareStringA's
// order; Polish or Czech sort rules of a user locale are not applied (a 1250 user would get them).
std::string SortKey(const std::string& text, bool ignoreCase, int codePage = 1252);

// Room in which WriteSortKey builds keys; it only grows, so that once it has grown to the
// longest text, building a key allocates nothing.
struct SortKeyBuffers {
  std::vector<char> key, levels;
};
// SortKey written to the front of buffers.key; returns its length.
std::size_t WriteSortKey(const std::string& text, bool ignoreCase, int codePage, SortKeyBuffers& buffers);

// CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE) and lstrcmpA as Wine 8 gives them for texts in
// the ANSI code page passed here. Results are -1, 0 or 1. Keeps its buffers between calls: one
// object serves one thread.
class MemoryTextCompare : public TextCompare {
 public:
  explicit MemoryTextCompare(int codePage = 1252) : codePage_(codePage) {}
  int CompareIgnoreCase(const std::string& a, const std::string& b) override;
  int Compare(const std::string& a, const std::string& b) override;
  // The ignore-case sort key itself, so equal keys and CompareIgnoreCase == 0 cannot drift apart.
  std::string IgnoreCaseKey(const std::string& text) override;

 private:
  int Order(const std::string& a, const std::string& b, bool ignoreCase);

  int codePage_;
  SortKeyBuffers first_, second_;
};

}  // namespace sorel
