// Addresses the HTTP transport can ask for: "http://host[:port]/path" and where a redirection leads.
#pragma once
#include <cstddef>
#include <cstdint>
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

// Whether host is this machine or one of the local network, in any form a resolver takes. Dotted
// addresses in 0/8, 10/8, 100.64/10, 127/8, 169.254/16, 172.16/12, 192.168/16 and 224/3
// (multicast, reserved, broadcast), also in the forms inet_addr reads: one to four parts
// ("127.1", "2130706433"), each decimal, octal ("0177") or hexadecimal ("0x7f"), and a final
// dot. A host whose last label starts with a digit but that is no such address counts as local
// too: no public name ends that way, and what a resolver makes of it cannot be known. Names:
// "localhost" and those under it, names under "local" (multicast DNS), and names of one label
// ("intranet"), which only the local network's resolver can answer; letters in any case. Any
// other name counts as public, whatever it resolves to.
bool IsLocalHost(std::string_view host);

// Whether a redirection from `from` may be followed to `to`: to port 80 or to from's own port, and
// to a local host (IsLocalHost) only from a local one. So a page on the web cannot send the
// request to another service of the user's machine or network.
bool RedirectionAllowed(const HttpUrl& from, const HttpUrl& to);

// Where a redirection's Location leads from base: an absolute http URL, "//host/path", an
// absolute path "/x", a query "?q", or a path "x" read against the folder of base's path, with
// "." and ".." segments resolved. Nothing when the result is not an address ParseHttpUrl takes.
std::optional<HttpUrl> ResolveLocation(const HttpUrl& base, std::string_view location);

}  // namespace sorel
