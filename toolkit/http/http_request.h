// The text of the one request the transport sends: a GET.
#pragma once
#include <string>

#include "toolkit/http/http_url.h"

namespace sorel {

// "GET <path> HTTP/1.1", then Host (the origin's, also through a proxy), User-Agent, Accept and
// Connection: close, each line ended by CR LF, and the empty line. Through a proxy the request
// line carries the absolute URI ("GET http://host:8080/path HTTP/1.1"). The transport asks for
// no compression, keeps no connection open and sends nothing else, so the response needs no
// decoding but its framing.
std::string BuildGetRequest(const HttpUrl& url, bool viaProxy);

}  // namespace sorel
