// THttpCli over Win32Sockets against the test HTTP server: responses, failures, stalls, a proxy.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/sockets_win32.h"
#include "tests/win32/http_test_server.h"
#include "tests/win32/message_pump.h"
#include "tests/win32/tinyproxy.h"
#include "toolkit/http/http_client.h"

namespace sorel {
namespace {

using test::HttpTestServer;
using test::PumpUntil;
using test::ResponsePlan;

// The body as it arrives, kept as a size and a checksum (a download can be large).
struct BodySink : ReceiveStream {
  void Write(const char* data, std::size_t size) override {
    bytes += static_cast<std::int64_t>(size);
    checksum = test::Checksum(data, size, checksum);
  }
  std::int64_t bytes = 0;
  std::uint64_t checksum = test::kChecksumStart;
};

// One request and what it reported: OnDocData must find RcvdCount equal to what was written.
struct Download {
  explicit Download(Sockets& sockets) : http(sockets) {
    http.RcvdStream = &sink;
    http.OnDocData = [this] {
      ++blocks;
      if (http.RcvdCount() != sink.bytes) ++mismatches;
    };
    http.OnRequestDone = [this](int e) {
      ++done;
      error = e;
    };
  }
  void Start(const std::string& url, unsigned timeoutMs = 30000) {
    http.URL = url;
    http.TimeoutMs = timeoutMs;
    http.GetASync();
  }
  THttpCli http;
  BodySink sink;
  int blocks = 0, mismatches = 0, done = 0, error = -1;
};

ResponsePlan Page(const std::string& status, const std::string& body) {
  ResponsePlan plan;
  plan.status = status;
  plan.body = body;
  return plan;
}

ResponsePlan Generated(std::uint64_t size, test::Framing framing, std::size_t blockSize = 65536) {
  ResponsePlan plan;
  plan.generatedSize = size;
  plan.framing = framing;
  plan.blockSize = blockSize;
  return plan;
}

class HttpTransportTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(server.Start(), ""); }
  void TearDown() override { EXPECT_TRUE(errors.empty()) << errors.front(); }

  HttpTestServer server;
  std::vector<std::string> errors;
  Win32Sockets sockets{GetModuleHandleA(nullptr), [this](const std::exception& e) { errors.push_back(e.what()); }};
};

TEST_F(HttpTransportTest, EndsEveryRequestAsTheServerAnswersIt) {
  const int refusing = HttpTestServer::RefusingPort();
  ASSERT_NE(refusing, 0);
  ResponsePlan chunked = Page("200 OK", std::string(5000, 'c'));
  chunked.framing = test::Framing::Chunked;
  chunked.blockSize = 1000;
  ResponsePlan reset = Generated(1'000'000, test::Framing::ContentLength);
  reset.resetAfter = 200'000;
  ResponsePlan oversized = Page("200 OK", "x");
  oversized.oversizedHeader = 70 * 1024;
  ResponsePlan extra = Page("200 OK", "abc");
  extra.extraBytes = 5;
  ResponsePlan extraLater = extra;
  extraLater.extraDelayMs = 200;
  ResponsePlan chunkedExtra = Page("200 OK", "abc");
  chunkedExtra.framing = test::Framing::Chunked;
  chunkedExtra.extraBytes = 2;
  ResponsePlan brokenChunk = Page("200 OK", "abc");
  brokenChunk.framing = test::Framing::Chunked;
  brokenChunk.brokenChunk = true;
  server.Route("/hop1", test::Redirect(server.Url("/hop2")));
  server.Route("/hop2", test::Redirect("target", "301 Moved Permanently"));
  const int otherPort = HttpTestServer::RefusingPort();

  struct Case {
    const char* name;
    std::string path;  // routed to plan
    ResponsePlan plan;
    std::string url;   // "" for the path on the server
    int status;
    std::string reason;
    int error;
    std::int64_t length;  // ContentLength at the end
    std::size_t requests;  // that the server saw
  };
  const Case cases[] = {
      {"with a length", "/length", Generated(2'000'000, test::Framing::ContentLength), "", 200, "OK", 0, 2'000'000, 1},
      {"chunked", "/chunked", chunked, "", 200, "OK", 0, -1, 1},
      {"until the close", "/close", Generated(500'000, test::Framing::CloseDelimited), "", 200, "OK", 0, -1, 1},
      {"404 with its page", "/404", Page("404 Not Found", "gone"), "", 404, "Not Found", 0, 4, 1},
      {"500 with its page", "/500", Page("500 Internal Server Error", "oops"), "", 500, "Internal Server Error", 0, 4,
       1},
      {"refused", "/none", {}, "http://127.0.0.1:" + std::to_string(refusing) + "/", 404, "Connection refused",
       kHttpFailed, -1, 0},
      {"reset inside the body", "/reset", reset, "", 404, "Connection lost", kHttpFailed, 1'000'000, 1},
      {"two redirections", "/target", Page("200 OK", "arrived"), server.Url("/hop1"), 200, "OK", 0, 7, 3},
      {"a redirection loop", "/loop", test::Redirect("/loop"), "", 404, "Too many redirections", kHttpFailed, -1,
       kHttpMaxRedirections + 1},
      {"oversized headers", "/big", oversized, "", 404, "Response headers too large", kHttpFailed, -1, 1},
      {"more body than announced, in the same read: ignored", "/extra", extra, "", 200, "OK", 0, 3, 1},
      {"more body than announced, later: ignored", "/extra-later", extraLater, "", 200, "OK", 0, 3, 1},
      {"bytes after the last chunk: ignored", "/chunked-extra", chunkedExtra, "", 200, "OK", 0, -1, 1},
      {"redirected to another port of this machine", "/elsewhere",
       test::Redirect("http://127.0.0.1:" + std::to_string(otherPort) + "/"), "", 404, "Redirection not allowed",
       kHttpFailed, -1, 1},
      {"a broken chunk", "/badchunk", brokenChunk, "", 404, "Invalid chunk", kHttpFailed, -1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server.Route(c.path, c.plan);
    const std::size_t before = server.Requests().size();
    Download d(sockets);
    d.Start(c.url.empty() ? server.Url(c.path) : c.url);
    EXPECT_EQ(d.done, 0) << "OnRequestDone came from inside GetASync";
    ASSERT_TRUE(PumpUntil([&] { return d.done > 0; }, 20000));
    EXPECT_EQ(d.done, 1);
    EXPECT_EQ(d.error, c.error);
    EXPECT_EQ(d.http.StatusCode(), c.status);
    EXPECT_EQ(d.http.ReasonPhrase(), c.reason);
    EXPECT_EQ(d.http.ContentLength(), c.length);
    EXPECT_EQ(server.Requests().size() - before, c.requests);
    EXPECT_EQ(d.http.RcvdCount(), d.sink.bytes);
    EXPECT_EQ(d.mismatches, 0);
    EXPECT_EQ(d.blocks > 0, d.sink.bytes > 0);
    // What was written: the body (of a response that ran over, the announced part); before a
    // reset a part of it; after other failures nothing.
    if (c.plan.resetAfter >= 0) {
      EXPECT_LE(d.sink.bytes, c.plan.resetAfter);
      EXPECT_EQ(d.sink.checksum, test::PatternChecksum(d.sink.bytes));
    } else if (c.error) {
      EXPECT_EQ(d.sink.bytes, 0);
    } else if (c.plan.generatedSize) {
      EXPECT_EQ(d.sink.bytes, static_cast<std::int64_t>(c.plan.generatedSize));
      EXPECT_EQ(d.sink.checksum, test::PatternChecksum(c.plan.generatedSize));
    } else {
      EXPECT_EQ(d.sink.checksum, test::Checksum(c.plan.body.data(), c.plan.body.size()));
    }
  }
}

// A server that stops sending: the user's Cancel, or the stall timeout, ends the request, and the
// bytes that came before it stay written.
TEST_F(HttpTransportTest, AStalledResponseEndsByCancelOrTimeout) {
  ResponsePlan stalling = Generated(100'000, test::Framing::ContentLength, 10'000);
  stalling.stallAfter = 30'000;
  server.Route("/stall", stalling);
  const struct Case {
    const char* name;
    unsigned timeoutMs;
    bool cancel;
    std::string reason;
    int error;
  } cases[] = {
      {"Cancel", 0, true, "Connection aborted", kHttpAborted},
      {"a short timeout", 400, false, "Connection timed out", kHttpFailed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Download d(sockets);
    d.Start(server.Url("/stall"), c.timeoutMs);
    ASSERT_TRUE(PumpUntil([&] { return d.sink.bytes == stalling.stallAfter; }));
    const DWORD stalled = GetTickCount();
    if (c.cancel) {
      test::PumpFor(600);  // no limit: nothing ends it meanwhile
      EXPECT_EQ(d.done, 0);
      d.http.Abort();
      EXPECT_EQ(d.http.StatusCode(), 404);
      EXPECT_EQ(d.done, 0) << "OnRequestDone came from inside Abort";
    }
    ASSERT_TRUE(PumpUntil([&] { return d.done > 0; }, 5000));
    if (!c.cancel) {
      EXPECT_GE(GetTickCount() - stalled, c.timeoutMs * 3 / 4);
    }
    EXPECT_EQ(d.error, c.error);
    EXPECT_EQ(d.http.StatusCode(), 404);
    EXPECT_EQ(d.http.ReasonPhrase(), c.reason);
    EXPECT_EQ(d.http.RcvdCount(), stalling.stallAfter);
    EXPECT_EQ(d.http.ContentLength(), 100'000);
    EXPECT_EQ(d.sink.checksum, test::PatternChecksum(stalling.stallAfter));
  }
}

// A server that drips its body just within the stall limit, or answers each hop of a redirection
// slowly: the deadline ends the request as a whole, on the tick count the sockets give.
TEST_F(HttpTransportTest, ADeadlineEndsASlowRequestAsAWhole) {
  ResponsePlan drip = Generated(20, test::Framing::ContentLength, 1);
  drip.blockDelayMs = 100;
  server.Route("/drip", drip);
  ResponsePlan slowHop = test::Redirect("/slow-page");
  slowHop.headDelayMs = 400;
  server.Route("/slow-hop", slowHop);
  ResponsePlan slowPage = Page("200 OK", "late");
  slowPage.headDelayMs = 400;
  server.Route("/slow-page", slowPage);
  const struct Case {
    const char* name;
    std::string path;
    unsigned deadlineMs;
    std::string reason;
    int error;
    unsigned atLeastMs, atMostMs;  // from the start to OnRequestDone
  } cases[] = {
      {"a drip, no deadline", "/drip", 0, "OK", 0, 1500, 10000},
      {"a drip past the deadline", "/drip", 700, "Request took too long", kHttpFailed, 600, 1500},
      {"slow hops, no deadline", "/slow-hop", 0, "OK", 0, 700, 10000},
      {"slow hops past the deadline", "/slow-hop", 600, "Request took too long", kHttpFailed, 500, 790},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Download d(sockets);
    d.http.DeadlineMs = c.deadlineMs;
    const std::uint32_t clock = sockets.NowMs();
    const DWORD started = GetTickCount();
    d.Start(server.Url(c.path), 30000);
    ASSERT_TRUE(PumpUntil([&] { return d.done > 0; }, 15000));
    const DWORD took = GetTickCount() - started;
    EXPECT_EQ(d.error, c.error);
    EXPECT_EQ(d.http.ReasonPhrase(), c.reason);
    EXPECT_GE(took, c.atLeastMs);
    EXPECT_LE(took, c.atMostMs);
    // The sockets' clock is the tick count.
    EXPECT_LE(static_cast<std::uint32_t>(sockets.NowMs() - clock) - took, 50u);
    if (c.error) {
      EXPECT_LT(d.sink.bytes, 20);
    }
  }
}

// Through tinyproxy: the proxy is asked for the absolute URL, which its log shows, and passes the
// request on with its Via header.
TEST_F(HttpTransportTest, GetsAPageThroughTinyproxy) {
  const test::Tinyproxy proxy = test::TinyproxyOfThisRun();
  ASSERT_EQ(proxy.error, "");
  const std::string body = "through the proxy";
  server.Route("/via-proxy", Page("200 OK", body));
  Download d(sockets);
  d.http.Proxy = "127.0.0.1";
  d.http.ProxyPort = std::to_string(proxy.port);
  d.Start(server.Url("/via-proxy"));
  ASSERT_TRUE(PumpUntil([&] { return d.done > 0; }, 20000));
  EXPECT_EQ(d.error, 0);
  EXPECT_EQ(d.http.StatusCode(), 200);
  EXPECT_EQ(d.sink.checksum, test::Checksum(body.data(), body.size()));
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].requestLine, "GET /via-proxy HTTP/1.1");
  EXPECT_NE(server.Requests()[0].Header("Via").find("tinyproxy"), std::string::npos);
  EXPECT_NE(proxy.Log().find(server.Url("/via-proxy")), std::string::npos);
}

}  // namespace
}  // namespace sorel
