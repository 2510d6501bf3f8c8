// Addresses the HTTP transport can ask for, and where a redirection leads.
#include "toolkit/http/http_url.h"
#include "platform/text.h"

#include <vector>

namespace sorel {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHostCharacter(char c) { return IsAsciiLetter(c) || IsDigit(c) || c == '.' || c == '-' || c == '_'; }
// A byte a request line may carry: printable ASCII, no blank.
bool IsSafe(char c) { return c > 0x20 && c < 0x7F; }

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char c = text[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) != prefix[i]) return false;
  }
  return true;
}

// RFC 3986 scheme ":" at the front: the Location is an absolute address.
bool HasScheme(std::string_view text) {
  if (text.empty() || !IsAsciiLetter(text[0])) return false;
  for (char c : text.substr(1)) {
    if (c == ':') return true;
    if (!IsAsciiLetter(c) && !IsDigit(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

// "/a/./b/../c" -> "/a/c"; ".." never climbs above the root. A final "." or ".." leaves a folder.
std::string RemoveDotSegments(std::string_view path) {
  std::vector<std::string_view> segments;
  bool folder = false;
  std::size_t start = 1;  // the path starts with "/"
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view segment = path.substr(start, end - start);
    folder = end == path.size() && (segment == "." || segment == "..");
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (segment != ".") {
      segments.push_back(segment);
    }
    start = end + 1;
  }
  std::string out;
  for (std::string_view segment : segments) out.append("/").append(segment);
  if (out.empty() || folder) out += "/";
  return out;
}

// One part of a dotted address as inet_addr reads it: "0x" hexadecimal, a leading 0 octal, else
// decimal. Nothing when it is not a number or passes max.
std::optional<std::uint32_t> AddressPart(std::string_view part, std::uint32_t max) {
  unsigned base = 10;
  if (part.size() >= 2 && part[0] == '0' && AsciiLower(part[1]) == 'x') {
    base = 16;
    part.remove_prefix(2);
  } else if (part.size() >= 2 && part[0] == '0') {
    base = 8;
    part.remove_prefix(1);
  }
  if (part.empty() && base != 16) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : part) {
    const int digit = DigitValue(c, static_cast<int>(base));
    if (digit < 0) return std::nullopt;
    value = value * base + digit;
    if (value > max) return std::nullopt;
  }
  return static_cast<std::uint32_t>(value);
}

// "a.b.c.d", "a.b.c" (c 16 bits), "a.b" (b 24 bits) or "a" (32 bits), as an address in host order.
std::optional<std::uint32_t> DottedAddress(std::string_view host) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t dot = host.find('.', start);
    parts.push_back(host.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start));
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  if (parts.size() > 4) return std::nullopt;
  std::uint32_t address = 0;
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    const auto byte = AddressPart(parts[i], 255);
    if (!byte) return std::nullopt;
    address |= *byte << (24 - 8 * i);
  }
  const unsigned lastBits = 32 - 8 * static_cast<unsigned>(parts.size() - 1);
  const auto last = AddressPart(parts.back(), lastBits == 32 ? 0xFFFFFFFFu : (1u << lastBits) - 1);
  if (!last) return std::nullopt;
  return address | *last;
}

bool IsLocalAddress(std::uint32_t a) {
  struct Block {
    std::uint32_t network;
    int bits;
  };
  constexpr Block kLocal[] = {
      {0x00000000, 8},  {0x0A000000, 8},  {0x64400000, 10}, {0x7F000000, 8},
      {0xA9FE0000, 16}, {0xAC100000, 12}, {0xC0A80000, 16}, {0xE0000000, 3},
  };
  for (const Block& b : kLocal)
    if ((a >> (32 - b.bits)) == (b.network >> (32 - b.bits))) return true;
  return false;
}

}  // namespace

bool IsLocalHost(std::string_view host) {
  while (!host.empty() && host.back() == '.') host.remove_suffix(1);
  const std::size_t lastDot = host.rfind('.');
  const std::string_view last = lastDot == std::string_view::npos ? host : host.substr(lastDot + 1);
  if (last.empty()) return true;
  if (IsDigit(last[0])) {
    const auto address = DottedAddress(host);
    return !address || IsLocalAddress(*address);
  }
  return lastDot == std::string_view::npos || AsciiEqualIgnoreCase(last, "localhost") || AsciiEqualIgnoreCase(last, "local");
}

bool RedirectionAllowed(const HttpUrl& from, const HttpUrl& to) {
  return (to.port == 80 || to.port == from.port) && (!IsLocalHost(to.host) || IsLocalHost(from.host));
}

std::string HttpUrl::Authority() const { return port == 80 ? host : host + ":" + std::to_string(port); }

std::string HttpUrl::Text() const { return "http://" + Authority() + path; }

std::optional<HttpUrl> ParseHttpUrl(std::string_view text) {
  constexpr std::string_view kScheme = "http://";
  if (text.size() > kHttpMaxUrl || !StartsWithIgnoringCase(text, kScheme)) return std::nullopt;
  for (char c : text)
    if (!IsSafe(c)) return std::nullopt;
  text.remove_prefix(kScheme.size());
  text = text.substr(0, text.find('#'));
  const std::size_t pathStart = text.find_first_of("/?");
  const std::string_view authority = text.substr(0, pathStart);
  HttpUrl url;
  const std::size_t colon = authority.find(':');
  url.host = std::string(authority.substr(0, colon));
  if (url.host.empty()) return std::nullopt;
  for (char c : url.host)
    if (!IsHostCharacter(c)) return std::nullopt;  // "@" of user information among them
  if (colon != std::string_view::npos) {
    const std::string_view port = authority.substr(colon + 1);
    if (port.empty() || port.size() > 5) return std::nullopt;
    int value = 0;
    for (char c : port) {
      if (!IsDigit(c)) return std::nullopt;
      value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535) return std::nullopt;
    url.port = value;
  }
  if (pathStart != std::string_view::npos) {
    const std::string_view rest = text.substr(pathStart);
    url.path = rest[0] == '?' ? "/" + std::string(rest) : std::string(rest);
  }
  return url;
}

std::optional<HttpUrl> ResolveLocation(const HttpUrl& base, std::string_view location) {
  if (location.empty()) return std::nullopt;
  if (HasScheme(location)) return ParseHttpUrl(location);
  if (location.substr(0, 2) == "//") return ParseHttpUrl("http:" + std::string(location));
  location = location.substr(0, location.find('#'));
  if (location.empty()) return base;
  const std::string_view basePath = std::string_view(base.path).substr(0, base.path.find('?'));
  std::string path;
  if (location[0] == '?') {
    path = std::string(basePath) + std::string(location);
  } else {
    const std::string merged = location[0] == '/' ? std::string(location)
                                                  : std::string(basePath.substr(0, basePath.rfind('/') + 1)) +
                                                        std::string(location);
    const std::size_t query = merged.find('?');
    path = RemoveDotSegments(std::string_view(merged).substr(0, query)) +
           (query == std::string::npos ? "" : merged.substr(query));
  }
  return ParseHttpUrl("http://" + base.Authority() + path);
}

}  // namespace sorel
