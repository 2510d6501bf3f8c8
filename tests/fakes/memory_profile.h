// Profile (ini) files over the in-memory file system, read with the profile semantics of Wine 8.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "tests/fakes/memory_files.h"
#include "platform/profile.h"

namespace sorel {

// One key line. A line without "=" has no value: lookups see it as absent and key lists skip it.
struct ProfileKey {
  std::string name;
  std::optional<std::string> value;
};

struct ProfileSection {
  std::string name;  // "" for the lines before the first header (and for a header "[]")
  std::vector<ProfileKey> keys;
};

// A parsed profile; sections[0] is always the nameless part before the first header.
struct ProfileData {
  std::vector<ProfileSection> sections;
};

// Parses profile text as GetPrivateProfileStringA does under Wine 8. Input format:
//  - 8-bit text in the ANSI code page (no byte-order mark handling: a BOM is read as text);
//    lines end at CR or LF (so CR LF and empty lines are alike);
//  - every line is trimmed of blanks at both ends; blanks are tab, LF, VT, FF, CR, space and
//    Ctrl-Z (0x1A); a no-break space (0xA0) is not a blank;
//  - "[" starting a line opens a section named by the text up to the LAST "]" on the line,
//    trimmed; text after that "]" is ignored. A "[" line without "]" is an ordinary line;
//  - any other line is a key: the name is the text before the first "=" (trailing blanks
//    dropped), the value the text after it (leading blanks dropped); without "=" the whole line
//    is a name without value. Lines starting with ";" are kept as keys too (lookups find them,
//    key lists skip them); a nameless key directly after another nameless key is dropped;
//  - a zero byte ends a name or value as far as every lookup is concerned.
// Nothing is limited here; the list and value limits belong to the lookups below.
ProfileData ParseProfile(const std::string& text);

// Section names in file order, duplicates included, cut to what a 16384-byte zero-separated list
// holds: a name that does not fit whole is cut to the room left, and the list ends at the first
// empty name, as a reader of the zero-separated list sees it.
std::vector<std::string> ProfileSectionNames(const ProfileData& data);

// The key names of the FIRST section named section (ASCII letters match ignoring case; the asked
// name is not trimmed), skipping lines without "=" and comment lines (";"), cut to 16384 bytes the
// same way; the list ends at the first empty name (a line "=value").
std::vector<std::string> ProfileSectionKeys(const ProfileData& data, const std::string& section);

// The lines of the FIRST section named section as GetPrivateProfileSectionA gives them, without its
// buffer limit: name "=" value (the value as stored, quotes kept) or the bare name of a line
// without "=", each up to a zero byte; comment lines and empty nameless lines are left out.
std::vector<std::string> ProfileSectionLines(const ProfileData& data, const std::string& section);

// The value of the first key named key in the FIRST section named section (both names trimmed of
// blanks and matched ignoring the case of ASCII letters only), else def without its trailing
// spaces. Either result loses a pair of enclosing quotes ("..." or '...') and is cut to 2047
// characters.
std::string ProfileReadString(const ProfileData& data, const std::string& section, const std::string& key,
                              const std::string& def);

// Profile files kept in a MemoryFileSystem. A file name without "\" or "/" is looked up in the
// Windows folder given here. Every call reads the file afresh; a missing or unreadable file reads
// as empty.
class MemoryProfileFiles : public ProfileFiles {
 public:
  MemoryProfileFiles(MemoryFileSystem& files, std::string windowsDir);

  std::vector<std::string> SectionNames(const std::string& file) override;
  std::vector<std::string> SectionKeys(const std::string& file, const std::string& section) override;
  std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                         const std::string& def) override;
  std::vector<std::string> SectionLines(const std::string& file, const std::string& section) override;

  // The path a file name stands for.
  std::string Resolve(const std::string& file) const;

 private:
  ProfileData Load(const std::string& file);

  MemoryFileSystem& files_;
  std::string windowsDir_;
};

}  // namespace sorel
