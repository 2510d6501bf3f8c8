// Fuzz target: the HTTP response reader fed the same response whole and in splits. The input's
// first byte (mod 8) tells how many split sizes follow it, each (mod 64) + 1 bytes, used in turn;
// the rest is the response. Both reads must end alike (state, reason, status, headers, body, length),
// no body byte may be one not fed, a Content-Length body never passes its length and a complete
// one has it exactly, and every call must make progress. Any breach aborts.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "toolkit/http/http_response.h"

namespace {

using namespace sorel;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "response reader broken: %s\n", what);
  std::abort();
}

struct Outcome {
  HttpResponseParser::State state;
  std::string failure, reason, headers, body;
  int status;
  std::int64_t length;
};

Outcome Read(std::string_view response, const std::uint8_t* sizes, std::size_t count) {
  HttpResponseParser parser;
  std::string body;
  std::size_t fed = 0, turn = 0;
  while (!response.empty()) {
    const std::size_t n = std::min<std::size_t>(count ? sizes[turn++ % count] % 64 + 1 : response.size(), response.size());
    std::string_view piece = response.substr(0, n);
    response.remove_prefix(n);
    fed += n;
    while (!piece.empty()) {
      const char* const start = piece.data();
      const std::size_t before = piece.size();
      const std::string_view run = parser.Feed(piece);
      if (piece.size() >= before) Fail("no progress");
      if (!run.empty() && (run.data() < start || run.data() + run.size() > start + before)) Fail("body outside the bytes fed");
      body += run;
      if (body.size() > fed) Fail("more body than bytes fed");
      if (parser.ContentLength() >= 0 && body.size() > static_cast<std::size_t>(parser.ContentLength())) Fail("body past its length");
    }
  }
  parser.Finish();
  Outcome out{parser.state(), parser.Failure(), parser.Reason(), "", body, parser.Status(), parser.ContentLength()};
  if (out.state == HttpResponseParser::State::Reading) Fail("still reading after the close");
  if ((out.state == HttpResponseParser::State::Failed) == out.failure.empty()) Fail("a failure without a reason");
  if (out.state == HttpResponseParser::State::Complete && out.length >= 0 && body.size() != static_cast<std::size_t>(out.length))
    Fail("complete without its length");
  std::size_t kept = 0;
  for (const HttpHeader& h : parser.Headers()) {
    kept += h.name.size() + h.value.size();
    out.headers += h.name + ":" + h.value + "\n";
  }
  if (kept > kHttpMaxHeaderBytes || parser.Headers().size() > kHttpMaxHeaderLines) Fail("headers past their bounds");
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t count = std::min<std::size_t>(data[0] % 8, size - 1);
  const std::string_view response(reinterpret_cast<const char*>(data) + 1 + count, size - 1 - count);
  const Outcome whole = Read(response, nullptr, 0);
  const Outcome split = Read(response, data + 1, count);
  const std::uint8_t one = 0;
  const Outcome bytes = Read(response, &one, 1);
  for (const Outcome* other : {&split, &bytes}) {
    if (other->state != whole.state || other->failure != whole.failure) Fail("outcome depends on the split");
    if (other->status != whole.status || other->reason != whole.reason || other->headers != whole.headers) Fail("status or headers depend on the split");
    if (other->body != whole.body || other->length != whole.length) Fail("body depends on the split");
  }
  return 0;
}
