// The update check's pure functions: page lines, dates, versions, progress numbers, file names.
#include "update/web_page.h"

#include <cstring>
#include <string_view>

namespace sorel {

namespace {

// The text from start up to the next '"' within kPageValueWindow characters; "" when there is none.
// A start past the end of the line gives "" too, so no offset reads outside it.
std::string QuotedFrom(const std::string& line, std::size_t start) {
  if (start >= line.size()) return {};
  const std::string_view window = std::string_view(line).substr(start, kPageValueWindow);
  const std::size_t quote = window.find('"');
  return quote == std::string_view::npos ? std::string() : std::string(window.substr(0, quote));
}

[[noreturn]] void NotADate(const std::string& text) { throw EConvertError("'" + text + "' is not a valid date"); }

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar (H. Hinnant's days_from_civil).
std::int64_t DaysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  const int era = (year >= 0 ? year : year - 399) / 400;
  const int yearOfEra = year - era * 400;
  const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return std::int64_t{era} * 146097 + dayOfEra - 719468;
}

// A field of a dotted version: up to the first "." (all of it without one); invalid counts as 0.
std::int32_t VersionField(std::string_view text) {
  return ParseIntegerText(std::string(text.substr(0, text.find('.')))).value_or(0);
}

std::size_t LastComponentStart(const std::string& path) {
  const std::size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? 0 : separator + 1;
}

bool IsDeviceName(const std::string& name) {
  std::string_view base = std::string_view(name).substr(0, name.find('.'));
  while (!base.empty() && base.front() == ' ') base.remove_prefix(1);
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  const std::string upper = AsciiUpper(base);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"})
    if (upper == device) return true;
  // The system also takes the superscript digits 1, 2 and 3 of Windows-1252 as port numbers.
  const auto portDigit = [](char c) {
    return (c >= '0' && c <= '9') || c == '\xB9' || c == '\xB2' || c == '\xB3';
  };
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) && portDigit(upper[3]);
}

}  // namespace

std::string ExtractContent(const std::string& line) {
  const std::size_t found = line.find("CONTENT=");
  return QuotedFrom(line, found == std::string::npos ? 8 : found + 9);
}

std::optional<std::string> ExtractTagName(const std::string& line) {
  const std::size_t found = AsciiUpper(line).find("META NAME");
  if (found == std::string::npos) return std::nullopt;
  return QuotedFrom(line, found + 11);
}

double ParseDate(const std::string& text) {
  static constexpr std::string_view kMonths = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";
  if (text.size() < 4) NotADate(text);
  // Only a whole abbreviation counts: "ANF" lies inside the list but names no month.
  const std::size_t at = kMonths.find(AsciiUpper(std::string_view(text).substr(0, 3)));
  if (at == std::string_view::npos || at % 3 != 0) NotADate(text);
  const int month = static_cast<int>(at / 3) + 1;

  const std::size_t comma = text.find(',');
  if (comma == std::string::npos || comma < 2) NotADate(text);
  const std::optional<std::int32_t> day = ParseIntegerText(text.substr(comma - 2, 2));
  const std::optional<std::int32_t> year = ParseIntegerText(text.substr(text.size() - 4));
  if (!day || !year || *year < 1 || *year > 9999 || *day < 1) NotADate(text);
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int monthDays = kDays[month - 1] + (month == 2 && IsLeapYear(*year) ? 1 : 0);
  if (*day > monthDays) NotADate(text);
  return static_cast<double>(DaysFromCivil(*year, month, *day) - DaysFromCivil(1899, 12, 30));
}

bool IsNewerVersion(const std::string& current, const std::string& page, TWfiVersionFormat format) {
  if (format == TWfiVersionFormat::wfivSimpleString) return std::string_view(page) > std::string_view(current);
  // Field by field while either text has fields left; a missing field is 0, so "1.2" equals
  // "1.2.0.0" and an update once installed is not offered again.
  std::string_view mine = current, theirs = page;
  bool mineLeft = true, theirsLeft = true;
  const auto next = [](std::string_view& text, bool& left) {
    const std::size_t dot = text.find('.');
    if (dot == std::string_view::npos) left = false;
    else text.remove_prefix(dot + 1);
  };
  while (mineLeft || theirsLeft) {
    const std::int32_t myField = mineLeft ? VersionField(mine) : 0, theirField = theirsLeft ? VersionField(theirs) : 0;
    if (myField != theirField) return myField < theirField;
    next(mine, mineLeft);
    next(theirs, theirsLeft);
  }
  return false;
}

std::string FormatThousands(std::int64_t value) {
  // The magnitude in unsigned arithmetic: negating INT64_MIN would overflow.
  const std::uint64_t bits = static_cast<std::uint64_t>(value);
  const std::uint64_t magnitude = value < 0 ? 0 - bits : bits;
  const std::string digits = std::to_string(magnitude);
  std::string out = value < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

int ProgressPercent(std::int64_t received, std::int64_t total) {
  if (total <= 0 || received <= 0) return 0;
  if (received >= total) return 100;
  // received * 100 may not fit in 64 bits, and the 32-bit build has no wider type: add received
  // to itself a hundred times modulo total and count the wraps. Each step keeps below total.
  const std::uint64_t step = static_cast<std::uint64_t>(received), modulus = static_cast<std::uint64_t>(total);
  std::uint64_t rest = 0;
  int wraps = 0;
  for (int i = 0; i < 100; ++i) {
    if (rest >= modulus - step) {
      rest -= modulus - step;
      ++wraps;
    } else {
      rest += step;
    }
  }
  return wraps;
}

std::string LastUrlSegment(const std::string& url) {
  const std::size_t slash = url.rfind('/');
  return url.substr(slash == std::string::npos ? 0 : slash + 1, kMaxUrlSegment);
}

std::string SafeFileName(const std::string& name) {
  std::string out;
  for (std::size_t i = LastComponentStart(name); i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 32 || c == 127 || std::strchr("<>:\"/\\|?*", c) != nullptr) continue;
    out += name[i];
  }
  if (out.size() > kMaxSafeFileName) {
    const std::size_t dot = out.rfind('.');
    const std::size_t extension = dot == std::string::npos ? 0 : out.size() - dot;
    if (dot != std::string::npos && dot > 0 && extension < kMaxSafeFileName)
      out = out.substr(0, kMaxSafeFileName - extension) + out.substr(dot);
    else
      out.resize(kMaxSafeFileName);
  }
  while (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.pop_back();
  if (out.empty() || IsDeviceName(out)) return kFallbackFileName;
  return out;
}

std::string WithDefaultExtension(const std::string& path, int filterIndex) {
  if (path.find('.', LastComponentStart(path)) != std::string::npos) return path;
  if (filterIndex == 1) return path + ".EXE";
  if (filterIndex == 2) return path + ".ZIP";
  return path;
}

bool IsDocumentName(const std::string& name) {
  const std::size_t start = LastComponentStart(name);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot < start) return false;
  const std::string extension = AsciiUpper(std::string_view(name).substr(dot + 1));
  for (const char* document : {"TXT", "HTM", "HTML", "RTF", "PDF"})
    if (extension == document) return true;
  return false;
}

bool ValidProxyPort(const std::string& text) {
  const std::int32_t port = ParseIntegerText(text).value_or(-1);
  return port >= 1 && port <= 9999;
}

}  // namespace sorel
