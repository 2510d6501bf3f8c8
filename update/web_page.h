// The update check's pure functions: the information page's META lines, dates, version
// comparison, numbers for the progress window, and the names a download is saved under.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

// The page is split into lines as win.ini is: SplitLines, at CR, LF or CR LF.
#include "platform/text.h"

namespace sorel {

// A text that is no valid date (ParseDate).
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

enum class TWfiDateFormat { wfidNone, wfidZELDate };
enum class TWfiVersionFormat { wfivBuildNumber, wfivSimpleString };

// How far after its start a quoted name or value may run: its closing quote must lie within this
// many characters, so a value holds at most kPageValueWindow - 1 of them.
constexpr std::size_t kPageValueWindow = 1000;
// The longest last segment of an address that LastUrlSegment gives.
constexpr std::size_t kMaxUrlSegment = 1000;
// The longest name SafeFileName gives.
constexpr std::size_t kMaxSafeFileName = 100;
// What SafeFileName gives when nothing usable is left of a name.
inline constexpr const char* kFallbackFileName = "update.bin";

// The value of one page line. Input: a line such as  <META NAME="zel-version" CONTENT="1.1.1.13">.
// The value starts 9 characters after the first "CONTENT=" (capitals only, searched over the whole
// line), skipping it and its opening quote unchecked, and ends before the next '"' within
// kPageValueWindow characters; no such quote gives "". Without "CONTENT=" the search counts as a
// hit just before the line, so the value starts at its ninth character: pages that write content=
// in lower case have always been read that way.
std::string ExtractContent(const std::string& line);

// The tag name of one page line, or nothing when the line has no "META NAME" (letter case
// ignored, ASCII only). The name starts 11 characters after "META NAME" (skipping '=' and the
// opening quote unchecked), keeps its case and ends before the next '"' within kPageValueWindow
// characters; no such quote gives an empty name.
std::optional<std::string> ExtractTagName(const std::string& line);

// A page date as days since 1899-12-30 (a whole number, negative before then). Input:
// month name, day, comma, year, as "Jan 15, 2002": the first three characters are a month's
// English abbreviation in any case; the two characters just before the first comma are the day
// (" 5" and "05" both give 5); the last four characters are the year. Each number is read by
// ParseIntegerText. Anything else, or an impossible date (Feb 30, year 0), throws EConvertError
// "'<text>' is not a valid date".
double ParseDate(const std::string& text);

// Whether the page's version is newer than the current one.
// wfivBuildNumber: dotted fields compared as integers (ParseIntegerText, 0 when invalid), as many
// as the longer version has, a missing field counting as 0: "1.1.1.13" < "1.1.1.14" < "1.1.2",
// "1.10" > "1.9", "1.2" = "1.2.0.0", "1.1.3" < "1.1.3.1", "1.1" < "1.1.5".
// wfivSimpleString: the page's text sorts after the current one in unsigned byte order.
bool IsNewerVersion(const std::string& current, const std::string& page, TWfiVersionFormat format);

// Decimal digits grouped by three with ",", whatever the locale: 1234567 gives "1,234,567", -1
// gives "-1". 64 bits wide, so that a download past 2 GiB still counts right.
std::string FormatThousands(std::int64_t value);

// received * 100 / total rounded toward zero, clamped to 0..100, exact for every 64-bit input.
// Meaningful for total > 0 only; otherwise 0.
int ProgressPercent(std::int64_t received, std::int64_t total);

// Everything after the last "/" of an address (the whole address when it has none), cut to
// kMaxUrlSegment characters.
std::string LastUrlSegment(const std::string& url);

// A name taken from the network, made into a bare file name that stays in the folder it is put in.
// An address such as http://host/a\..\..\x.exe has "a\..\..\x.exe" as its last "/" segment, and
// the system reads "\" as a separator too, so a name joined to a folder as it came could write
// anywhere; "C:x", "x:stream", "CON" or "nul.txt" would reach a drive, a stream or a device.
// Input: any bytes. The name is cut after its last "/" or "\"; control characters (below 32, and
// 127) and  < > : " / \ | ? *  are dropped; a name longer than kMaxSafeFileName is cut, keeping
// its extension when that leaves a character before it; trailing dots and blanks are stripped
// (the system would strip them too, so "x.exe." would not be the name we checked). A name that
// is then empty or a device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$, CLOCK$, COM and LPT with
// a digit or a superscript 1, 2 or 3 of Windows-1252, in any case, with or without an extension,
// blanks around what stands before the first dot ignored) becomes kFallbackFileName.
std::string SafeFileName(const std::string& name);

// The save dialog's extension rule: a path whose last component ("\" and "/" both separate) has
// no "." gets ".EXE" with filter entry 1, ".ZIP" with entry 2 and nothing with any other entry;
// a path whose last component has a "." is returned unchanged (so C:\x.y\setup gets one).
std::string WithDefaultExtension(const std::string& path, int filterIndex);

// Whether a downloaded ReadMe of this name is a document the shell opens in a viewer, not a
// program: the extension after the last "." of the last component is txt, htm, html, rtf or pdf
// in any case. Every other name, and one without an extension, is not.
bool IsDocumentName(const std::string& name);

// The proxy dialog's port check: ParseIntegerText gives 1 to 9999 (so " 80" passes, "80 " and
// "65535" do not).
bool ValidProxyPort(const std::string& text);

}  // namespace sorel
