// The text of the GET request.
#include "toolkit/http/http_request.h"

namespace sorel {

std::string BuildGetRequest(const HttpUrl& url, bool viaProxy) {
  return "GET " + (viaProxy ? url.Text() : url.path) + " HTTP/1.1\r\n" +
         "Host: " + url.Authority() + "\r\n"
         "User-Agent: SorelAssistant\r\n"
         "Accept: */*\r\n"
         "Connection: close\r\n"
         "\r\n";
}

}  // namespace sorel
