// Generated win.ini files for the round-trip property tests, the same for the emulation and Wine.
#pragma once
#include <cstdint>
#include <string>

#include "engine/subst_table.h"

namespace sorel {

// A win.ini of a few sections, decided by seed: odd headers (blanks around and inside the
// brackets, other letter case, "[" lines without "]", text after "]"), comments, blank and empty
// lines, duplicate keys in other letter case, bytes above 127 in values, comments and other
// sections' names, CR LF, LF-only or CR-only line ends, with or without a final line end, and
// sometimes no [FontSubstitutes] section at all; names that differ only in the case of bytes
// above 127 or by a soft hyphen, values in quotes or with blanks, a nameless key, a long value.
std::string GeneratedWinIni(std::uint32_t seed);

// Puts entry in the table in place of every element of its name.
void PutInPlaceOfItsName(TextCompare& compare, SubstTable& table, const std::string& entry);

// The edit of the round trip: one element removed (chosen by seed) and the entry
// "Arial CE,238=Arial,238" put in place of any of that name.
void EditTableForRoundTrip(TextCompare& compare, SubstTable& table, std::uint32_t seed);

// Whether two win.ini texts read alike, as the profile functions see them, in every section but
// the first [FontSubstitutes] (the nameless lines before the first header included).
bool SameOutsideTheTable(const std::string& before, const std::string& after);

}  // namespace sorel
