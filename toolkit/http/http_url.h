// Addresses the HTTP transport can ask for: "http://host[:port]/path" and where a redirection leads.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sorel {

struct HttpUrl {
  std::string host;       // a name or a dotted address, as written
  int port = 80;
  std::string path = "/"; // the path and the query, starting with "/": the request target
  // "host" or "host:port" when the port is not 80: the Host header and the absolute URI's authority.
  std::string Authority() const;
  // "http://" + Authority() + path: the absolute URI a proxy is asked for.
  std::string Text() const;
};

constexpr std::size_t kHttpMaxUrl = 4096;

// Reads "http://host[:port][/path][?query][#fragment]". The scheme is case-insensitive; the port
// is 1..65535 in decimal digits, 80 when absent; the path is "/" when absent; the fragment is
// dropped. Everything the request line could not carry safely is refused (nothing comes back):
// control characters, blanks and bytes above 126 anywhere, an empty host or one with other
// characters than letters, digits, '.', '-' and '_', user information ("user@"), any scheme but
// http (https included), a text longer than kHttpMaxUrl.
std::optional<HttpUrl> ParseHttpUrl(std::string_view text);

// Where a redirection's Location leads from base: an absolute http URL, "//host/path", an
// absolute path "/x", a query "?q", or a path "x" read against the folder of base's path, with
// "." and ".." segments resolved. Nothing when the result is not an address ParseHttpUrl takes.
std::optional<HttpUrl> ResolveLocation(const HttpUrl& base, std::string_view location);

}  // namespace sorel
