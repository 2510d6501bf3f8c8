// The HTTP transport: addresses, the request text, the response reader fed in every split, and
// THttpCli against scripted peers of the in-memory sockets.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/errors.h"
#include "tests/fakes/memory_sockets.h"
#include "toolkit/http/http_client.h"
#include "toolkit/http/http_request.h"
#include "toolkit/http/http_response.h"
#include "toolkit/http/http_url.h"

namespace sorel::test {
namespace {

std::string Describe(const std::optional<HttpUrl>& url) {
  return url ? url->host + " " + std::to_string(url->port) + " " + url->path : "refused";
}

TEST(HttpUrl, TakesOnlyWhatARequestLineCanCarry) {
  struct Case {
    const char* what;
    std::string text;
    const char* url;
  } cases[] = {
      {"host alone", "http://example.com", "example.com 80 /"},
      {"scheme in any case, port, query; fragment dropped", "HTTP://a.b-c_d:8080/x/y.txt?q=1#f", "a.b-c_d 8080 /x/y.txt?q=1"},
      {"a query without a path", "http://a?x=1", "a 80 /?x=1"},
      {"dotted address, largest port", "http://10.0.0.1:65535/", "10.0.0.1 65535 /"},
      {"https", "https://a/", "refused"},
      {"another scheme", "ftp://a/", "refused"},
      {"no scheme", "a.com/x", "refused"},
      {"empty host", "http:///x", "refused"},
      {"user information", "http://user:pw@a/", "refused"},
      {"port 0", "http://a:0/", "refused"},
      {"port above 65535", "http://a:65536/", "refused"},
      {"port not decimal", "http://a:8o/", "refused"},
      {"empty port", "http://a:/", "refused"},
      {"blank in the path", "http://a/b c", "refused"},
      {"line end in the path", "http://a/b\r\nX: y", "refused"},
      {"byte above 126", "http://a/\xE9", "refused"},
      {"NUL", std::string("http://a/\0x", 11), "refused"},
      {"too long", "http://a/" + std::string(kHttpMaxUrl, 'x'), "refused"},
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(ParseHttpUrl(c.text)), c.url) << c.what;
}

TEST(HttpUrl, ResolvesALocationAgainstTheAddressAsked) {
  const HttpUrl base = *ParseHttpUrl("http://h:81/dir/page.htm?q");
  struct Case {
    const char* location;
    const char* url;
  } cases[] = {
      {"http://other/x", "other 80 /x"},       {"HTTP://other:82", "other 82 /"},
      {"//other/y", "other 80 /y"},            {"/abs?z", "h 81 /abs?z"},
      {"rel.htm", "h 81 /dir/rel.htm"},        {"../up/./x", "h 81 /up/x"},
      {"../../../x?a/../b", "h 81 /x?a/../b"}, {"?r", "h 81 /dir/page.htm?r"},
      {"sub/.#frag", "h 81 /dir/sub/"},        {"#frag", "h 81 /dir/page.htm?q"},
      {"https://other/", "refused"},           {"mailto:x", "refused"},
      {"", "refused"},                         {"a b", "refused"},
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(ResolveLocation(base, c.location)), c.url) << c.location;
}

TEST(HttpUrl, TellsTheLocalNetworkInEveryFormAResolverTakes) {
  struct Case {
    const char* host;
    bool local;
  } cases[] = {
      {"127.0.0.1", true},        {"127.255.255.254", true},  {"10.1.2.3", true},         {"172.16.0.1", true},
      {"172.31.255.255", true},   {"192.168.0.10", true},     {"169.254.1.1", true},      {"0.0.0.0", true},
      {"100.64.0.1", true},       {"224.0.0.1", true},        {"255.255.255.255", true},  {"127.1", true},
      {"127.0.1", true},          {"2130706433", true},       {"0x7f000001", true},       {"0X7F.1", true},
      {"0177.0.0.1", true},       {"017700000001", true},     {"0", true},                {"127.0.0.1.", true},
      {"10.0.0.1..", true},       {"192.168.1", true},        {"localhost", true},        {"LocalHost.", true},
      {"www.localhost", true},    {"printer.local", true},    {"intranet", true},         {"a", true},
      {"1.2.3.4.5", true},        {"999.1.1.1", true},        {"08.1.1.1", true},         {"4294967296", true},
      {"1..2", true},             {"example.com", false},     {"www.example.com.", false}, {"8.8.8.8", false},
      {"172.15.255.255", false},  {"172.32.0.1", false},      {"100.128.0.1", false},     {"169.253.1.1", false},
      {"11.0.0.1", false},        {"223.255.255.255", false}, {"0x8.0x8.0x8.0x8", false}, {"134744072", false},
      {"127.0.0.1.example", false}, {"localhost.example.com", false}, {"1e100.net", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsLocalHost(c.host), c.local) << c.host;
}

TEST(HttpUrl, ARedirectionKeepsToPort80OrItsOwnAndReachesTheLocalNetworkOnlyFromIt) {
  struct Case {
    const char* from;
    const char* to;
    bool allowed;
  } cases[] = {
      {"http://example.com/", "http://example.org/", true},
      {"http://example.com:8080/", "http://example.org:8080/", true},
      {"http://example.com:8080/", "http://example.org/", true},
      {"http://example.com/", "http://example.org:8080/", false},
      {"http://example.com/", "http://example.com:25/", false},
      {"http://example.com/", "http://127.0.0.1/", false},
      {"http://example.com/", "http://localhost/", false},
      {"http://example.com/", "http://192.168.1.1/", false},
      {"http://example.com/", "http://0x7f.1/", false},
      {"http://example.com/", "http://router/", false},
      {"http://127.0.0.1:8080/", "http://127.0.0.1:8080/x", true},
      {"http://127.0.0.1:8080/", "http://localhost/", true},
      {"http://127.0.0.1:8080/", "http://127.0.0.1:25/", false},
      {"http://10.0.0.1/", "http://example.org/", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RedirectionAllowed(*ParseHttpUrl(c.from), *ParseHttpUrl(c.to)), c.allowed) << c.from << " -> " << c.to;
}

TEST(HttpRequest, AsksTheOriginOrTheProxy) {
  const HttpUrl url = *ParseHttpUrl("http://example.com:8080/a?b");
  EXPECT_EQ(BuildGetRequest(url, false),
            "GET /a?b HTTP/1.1\r\nHost: example.com:8080\r\nUser-Agent: SorelAssistant\r\nAccept: */*\r\n"
            "Connection: close\r\n\r\n");
  EXPECT_EQ(BuildGetRequest(*ParseHttpUrl("http://example.com/"), true).substr(0, 53),
            "GET http://example.com/ HTTP/1.1\r\nHost: example.com\r\n");
}

struct Read {
  int status = 0;
  std::string reason, body, failure;
  std::int64_t length = -1;
};

// Feeds the pieces in order, then closes.
Read ReadPieces(const std::vector<std::string_view>& pieces) {
  HttpResponseParser parser;
  Read r;
  for (std::string_view piece : pieces) {
    while (!piece.empty()) {
      const std::size_t before = piece.size();
      r.body += parser.Feed(piece);
      if (piece.size() == before) return {0, "", "", "no progress"};
    }
  }
  parser.Finish();
  r.status = parser.Status();
  r.reason = parser.Reason();
  r.failure = parser.state() == HttpResponseParser::State::Complete ? "" : parser.Failure();
  r.length = parser.ContentLength();
  return r;
}

std::string Lines(std::size_t count, const std::string& line) {
  std::string s;
  for (std::size_t i = 0; i < count; ++i) s += line;
  return s;
}

TEST(HttpResponse, SameOutcomeWhereverTheBytesAreSplit) {
  const std::string ok = "HTTP/1.1 200 OK\r\n";
  const std::string chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
  struct Case {
    const char* what;
    std::string bytes;
    int status;
    const char* reason;
    const char* body;
    const char* failure;
    std::int64_t length;
  } cases[] = {
      {"Content-Length", ok + "Content-Length: 5\r\n\r\nhello", 200, "OK", "hello", "", 5},
      {"LF alone, no reason, header name in lower case", "HTTP/1.0 200\ncontent-length: 2\n\nhi", 200, "", "hi", "", 2},
      {"chunks with extensions, blanks and trailers", chunked + "5;a=b\r\nhello\r\nA \r\n, world!!!\r\n0\r\nX: 1\r\n\r\n", 200, "OK", "hello, world!!!", "", -1},
      {"leading zeros of a chunk size", chunked + "0000000000000000003\r\nabc\r\n0\r\n\r\n", 200, "OK", "abc", "", -1},
      {"chunked overrides Content-Length", ok + "Content-Length: 99\r\nTransfer-Encoding: Chunked\r\n\r\n1\r\nx\r\n0\r\n\r\n", 200, "OK", "x", "", -1},
      {"until the close", "HTTP/1.0 200 OK\r\n\r\nall of it", 200, "OK", "all of it", "", -1},
      {"interim responses skipped", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 102 Busy\r\nX: y\r\n\r\nHTTP/1.1 404 Not Found\r\nContent-Length: 3\r\n\r\nno!", 404, "Not Found", "no!", "", 3},
      {"204 has no body", "HTTP/1.1 204 No Content\r\nContent-Length: 5\r\n\r\n", 204, "No Content", "", "", -1},
      {"a byte after a 304 is ignored", "HTTP/1.1 304 Not Modified\r\n\r\nx", 304, "Not Modified", "", "", -1},
      {"the same length repeated", ok + "Content-Length: 3, 3\r\nContent-Length: 003\r\n\r\nabc", 200, "OK", "abc", "", 3},
      {"empty body", ok + "Content-Length: 0\r\n\r\n", 200, "OK", "", "", 0},
      {"two lengths", ok + "Content-Length: 3\r\nContent-Length: 4\r\n\r\nabcd", 200, "OK", "", "Invalid response", -1},
      {"a signed length", ok + "Content-Length: +3\r\n\r\nabc", 200, "OK", "", "Invalid response", -1},
      {"a length past 18 digits", ok + "Content-Length: 1000000000000000000\r\n\r\n", 200, "OK", "", "Invalid response", -1},
      {"what follows the announced body is ignored", ok + "Content-Length: 2\r\n\r\nabc", 200, "OK", "ab", "", 2},
      {"a line end after the announced body", ok + "Content-Length: 2\r\n\r\nab\r\n", 200, "OK", "ab", "", 2},
      {"a second response after the first", ok + "Content-Length: 1\r\n\r\nx" + ok + "Content-Length: 1\r\n\r\ny", 200, "OK", "x", "", 1},
      {"body cut short", ok + "Content-Length: 5\r\n\r\nabc", 200, "OK", "abc", "Connection lost", 5},
      {"cut in the headers", ok + "Content-Le", 200, "OK", "", "Connection lost", -1},
      {"nothing at all", "", 0, "", "", "Connection lost", -1},
      {"not HTTP", "<html>\r\n", 0, "", "", "Invalid response", -1},
      {"status of two digits", "HTTP/1.1 20 OK\r\n\r\n", 0, "", "", "Invalid response", -1},
      {"a header without a colon", ok + "Oops\r\n\r\n", 200, "OK", "", "Invalid response", -1},
      {"a blank before the colon", ok + "Content-Length : 1\r\n\r\nx", 200, "OK", "", "Invalid response", -1},
      {"a control character in a value", ok + "X: a\x01" "b\r\n\r\n", 200, "OK", "", "Invalid response", -1},
      {"101 switches protocols", "HTTP/1.1 101 Switching\r\n\r\n", 101, "Switching", "", "Invalid response", -1},
      {"gzip transfer coding", ok + "Transfer-Encoding: gzip, chunked\r\n\r\n", 200, "OK", "", "Unsupported transfer encoding", -1},
      {"a chunk size not hex", chunked + "zz\r\n", 200, "OK", "", "Invalid chunk", -1},
      {"chunk data longer than its size", chunked + "3\r\nabcd\r\n0\r\n\r\n", 200, "OK", "abc", "Invalid chunk", -1},
      {"a chunk size past 2^60", chunked + "1000000000000000\r\n", 200, "OK", "", "Invalid chunk", -1},
      {"cut before the last chunk", chunked + "1\r\nx\r\n", 200, "OK", "x", "Connection lost", -1},
      {"a byte after the last chunk is ignored", chunked + "0\r\n\r\nx", 200, "OK", "", "", -1},
      {"a header line of the largest size", ok + "X: " + std::string(kHttpMaxLine - 3, 'a') + "\r\n\r\n", 200, "OK", "", "", -1},
      {"a header line too long", ok + "X: " + std::string(kHttpMaxLine - 2, 'a') + "\r\n\r\n", 200, "OK", "", "Response headers too large", -1},
      {"the most header lines", ok + Lines(kHttpMaxHeaderLines, "X: 1\r\n") + "\r\n", 200, "OK", "", "", -1},
      {"one header line too many", ok + Lines(kHttpMaxHeaderLines + 1, "X: 1\r\n") + "\r\n", 200, "OK", "", "Response headers too large", -1},
      {"headers too large in all", ok + Lines(9, "X: " + std::string(8000, 'a') + "\r\n") + "\r\n", 200, "OK", "", "Response headers too large", -1},
      {"the longest chunk-size line", chunked + "1;" + std::string(kHttpMaxChunkLine - 2, 'e') + "\r\nx\r\n0\r\n\r\n", 200, "OK", "x", "", -1},
      {"a chunk-size line too long", chunked + "1;" + std::string(kHttpMaxChunkLine - 1, 'e') + "\r\nx\r\n0\r\n\r\n", 200, "OK", "", "Invalid chunk", -1},
  };
  for (const auto& c : cases) {
    const std::string_view bytes = c.bytes;
    std::vector<std::vector<std::string_view>> splits = {{bytes}, {}};
    for (std::size_t i = 0; i < bytes.size(); ++i) splits[1].push_back(bytes.substr(i, 1));
    for (std::size_t cut = 1; bytes.size() < 2000 && cut < bytes.size(); ++cut) splits.push_back({bytes.substr(0, cut), bytes.substr(cut)});
    for (std::size_t s = 0; s < splits.size(); ++s) {
      const Read r = ReadPieces(splits[s]);
      const std::string where = std::string(c.what) + (s == 0 ? ", whole" : s == 1 ? ", byte by byte" : ", cut at " + std::to_string(s - 1));
      EXPECT_EQ(r.status, c.status) << where;
      EXPECT_EQ(r.reason, c.reason) << where;
      EXPECT_EQ(r.body, c.body) << where;
      EXPECT_EQ(r.failure, c.failure) << where;
      EXPECT_EQ(r.length, c.length) << where;
      if (r.failure != c.failure) break;
    }
  }
}

TEST(HttpResponse, FindsHeadersIgnoringCaseAndJoinsContinuations) {
  HttpResponseParser parser;
  std::string_view bytes = "HTTP/1.1 200 OK\r\nLocation:  /a \r\nX-Long: one\r\n \t two \r\nlocation: /b\r\n\r\n";
  parser.Feed(bytes);
  ASSERT_TRUE(parser.HeadersDone());
  ASSERT_NE(parser.Header("LOCATION"), nullptr);
  EXPECT_EQ(*parser.Header("LOCATION"), "/a");
  ASSERT_NE(parser.Header("x-long"), nullptr);
  EXPECT_EQ(*parser.Header("x-long"), "one two");
  EXPECT_EQ(parser.Header("X-Lon"), nullptr);
}

using Peer = MemorySockets::Peer;

Peer Answer(std::vector<std::string> blocks, Peer::End end = Peer::End::Close) {
  Peer peer;
  peer.blocks = std::move(blocks);
  peer.end = end;
  return peer;
}

Peer Refuse(const char* sentence) {
  Peer peer;
  peer.refuse = sentence;
  return peer;
}

// A client on in-memory sockets that keeps what reaches its stream and events.
struct Fetch {
  MemorySockets net;
  MemoryReceiveStream stream;
  MemoryReceiveStream small{3};  // a page limit a test can switch to
  std::unique_ptr<THttpCli> http = std::make_unique<THttpCli>(net);
  std::vector<int> done;
  std::vector<std::string> ends;      // "error status reason received" at each OnRequestDone
  std::vector<std::int64_t> docData;  // RcvdCount at each OnDocData
  int exceptions = 0;                 // that came out of the message loop

  Fetch() {
    http->RcvdStream = &stream;
    http->OnRequestDone = [this](int error) {
      done.push_back(error);
      ends.push_back(std::to_string(error) + " " + std::to_string(http->StatusCode()) + " " + http->ReasonPhrase() +
                     " " + std::to_string(http->RcvdCount()));
    };
    http->OnDocData = [this] { docData.push_back(stream.bytes.size() == static_cast<std::size_t>(http->RcvdCount()) ? http->RcvdCount() : -1); };
  }
  void Start(const std::string& url) {
    const std::size_t before = done.size();
    http->URL = url;
    http->GetASync();
    EXPECT_EQ(done.size(), before) << "OnRequestDone from inside GetASync";
  }
  // Peers by "host:port".
  void Serve(const std::vector<std::pair<std::string, Peer>>& peers) {
    for (const auto& [where, peer] : peers) {
      const std::size_t colon = where.find(':');
      net.AddPeer(where.substr(0, colon), std::stoi(where.substr(colon + 1)), peer);
    }
  }
  // Runs the loop to its end as the program's does: what a handler throws goes to the
  // application's display, and the loop goes on.
  void RunCatching() {
    for (;;) {
      try {
        net.RunUntilIdle();
        return;
      } catch (const std::exception&) {
        ++exceptions;
      }
    }
  }
  // Runs events one at a time until the client has closed its first connection.
  void RunUntilClosed() {
    while (net.Connections().empty() || net.Connections()[0].open) ASSERT_TRUE(net.RunOne());
  }
  // Host:port and request line of every connection.
  std::string Requests() const {
    std::string s;
    for (const auto& c : net.Connections())
      s += (s.empty() ? "" : " | ") + c.host + ":" + std::to_string(c.port) + " " + c.sent.substr(0, c.sent.find("\r\n"));
    return s;
  }
};

constexpr const char* kOk = "HTTP/1.1 200 OK\r\n";

TEST(THttpCli, EndsEveryRequestOnceWithStatusReasonAndBody) {
  Peer slowReader = Answer({std::string(kOk) + "Content-Le", "ngth: 10\r\n\r\n01234", "56789"});
  slowReader.takePerSend = 7;
  const Peer moved = Answer({"HTTP/1.1 301 Moved\r\nLocation: /loop\r\nContent-Length: 4\r\n\r\nskip"});
  struct Case {
    const char* what;
    std::string url, proxy, proxyPort;
    std::vector<std::pair<std::string, Peer>> peers;  // "host:port"
    int status;
    std::string reason, body;
    bool failed;
    std::int64_t length;
    std::string requests;
  } cases[] = {
      {"length, split, the request taken 7 bytes at a time", "http://a/x", "", "80", {{"a:80", slowReader}}, 200, "OK", "0123456789", false, 10, "a:80 GET /x HTTP/1.1"},
      {"chunked", "http://a/", "", "80", {{"a:80", Answer({std::string(kOk) + "Transfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n", "2\r\nde\r\n0\r\n\r\n"})}}, 200, "OK", "abcde", false, -1, "a:80 GET / HTTP/1.1"},
      {"until the close", "http://a/", "", "80", {{"a:80", Answer({"HTTP/1.0 200 OK\r\n\r\nab", "cd"})}}, 200, "OK", "abcd", false, -1, "a:80 GET / HTTP/1.1"},
      {"404 is a complete response", "http://a/", "", "80", {{"a:80", Answer({"HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\ngone"})}}, 404, "Not Found", "gone", false, 4, "a:80 GET / HTTP/1.1"},
      {"500 is a complete response", "http://a/", "", "80", {{"a:80", Answer({"HTTP/1.1 500 Internal Server Error\r\n\r\n"})}}, 500, "Internal Server Error", "", false, -1, "a:80 GET / HTTP/1.1"},
      {"host not found", "http://nowhere/", "", "80", {}, 404, "Host not found", "", true, -1, "nowhere:80 "},
      {"refused", "http://a:81/", "", "80", {{"a:81", Refuse("Connection refused")}}, 404, "Connection refused", "", true, -1, "a:81 "},
      {"reset mid-body", "http://a/", "", "80", {{"a:80", Answer({std::string(kOk) + "Content-Length: 10\r\n\r\n01234"}, Peer::End::Reset)}}, 404, "Connection lost", "01234", true, 10, "a:80 GET / HTTP/1.1"},
      {"reset of a body that runs until the close", "http://a/", "", "80", {{"a:80", Answer({std::string(kOk) + "\r\n01234"}, Peer::End::Reset)}}, 404, "Connection lost", "01234", true, -1, "a:80 GET / HTTP/1.1"},
      {"closed mid-body", "http://a/", "", "80", {{"a:80", Answer({std::string(kOk) + "Content-Length: 10\r\n\r\n01234"})}}, 404, "Connection lost", "01234", true, 10, "a:80 GET / HTTP/1.1"},
      {"a silent server", "http://a/", "", "80", {{"a:80", Answer({}, Peer::End::Silent)}}, 404, "Connection timed out", "", true, -1, "a:80 GET / HTTP/1.1"},
      {"redirected to another host, then the page", "http://a/old", "", "80",
       {{"a:80", Answer({"HTTP/1.1 302 Found\r\nLocation: http://b/new\r\nContent-Length: 4\r\n\r\nskip"})},
        {"b:80", Answer({std::string(kOk) + "Content-Length: 2\r\n\r\nok"})}},
       200, "OK", "ok", false, 2, "a:80 GET /old HTTP/1.1 | b:80 GET /new HTTP/1.1"},
      {"redirected within the folder", "http://a/dir/x", "", "80",
       {{"a:80", Answer({"HTTP/1.1 307 Temporary\r\nLocation: y.txt\r\n\r\n"}, Peer::End::Silent)}, {"a:80", Answer({std::string(kOk) + "\r\nY"})}},
       200, "OK", "Y", false, -1, "a:80 GET /dir/x HTTP/1.1 | a:80 GET /dir/y.txt HTTP/1.1"},
      {"a redirection loop", "http://a/loop", "", "80", {{"a:80", moved}}, 404, "Too many redirections", "", true, -1,
       Lines(5, "a:80 GET /loop HTTP/1.1 | ") + "a:80 GET /loop HTTP/1.1"},
      {"a redirection without Location is the response", "http://a/", "", "80", {{"a:80", Answer({"HTTP/1.1 302 Found\r\nContent-Length: 1\r\n\r\nz"})}}, 302, "Found", "z", false, 1, "a:80 GET / HTTP/1.1"},
      {"redirected to https", "http://a/", "", "80", {{"a:80", Answer({"HTTP/1.1 301 Moved\r\nLocation: https://a/\r\n\r\n"})}}, 404, "Invalid redirection", "", true, -1, "a:80 GET / HTTP/1.1"},
      {"oversized headers", "http://a/", "", "80", {{"a:80", Answer({std::string(kOk) + "X: " + std::string(kHttpMaxLine, 'x')})}}, 404, "Response headers too large", "", true, -1, "a:80 GET / HTTP/1.1"},
      {"more body than announced: the rest is ignored", "http://a/", "", "80", {{"a:80", Answer({std::string(kOk) + "Content-Length: 2\r\n\r\nabc"})}}, 200, "OK", "ab", false, 2, "a:80 GET / HTTP/1.1"},
      {"an invalid URL", "https://a/", "", "80", {}, 404, "Invalid URL", "", true, -1, ""},
      {"through a proxy", "http://a:81/x", "px", "3128", {{"px:3128", Answer({std::string(kOk) + "Content-Length: 1\r\n\r\np"})}}, 200, "OK", "p", false, 1, "px:3128 GET http://a:81/x HTTP/1.1"},
      {"an invalid proxy port", "http://a/", "px", "80a", {}, 404, "Invalid proxy port", "", true, -1, ""},
  };
  for (const auto& c : cases) {
    Fetch f;
    f.Serve(c.peers);
    f.http->Proxy = c.proxy;
    f.http->ProxyPort = c.proxyPort;
    f.Start(c.url);
    f.net.RunUntilIdle();
    ASSERT_EQ(f.done.size(), 1u) << c.what;
    EXPECT_EQ(f.done[0] != 0, c.failed) << c.what;
    EXPECT_EQ(f.http->StatusCode(), c.status) << c.what;
    EXPECT_EQ(f.http->ReasonPhrase(), c.reason) << c.what;
    EXPECT_EQ(f.stream.bytes, c.body) << c.what;
    EXPECT_EQ(f.http->RcvdCount(), static_cast<std::int64_t>(c.body.size())) << c.what;
    EXPECT_EQ(f.http->ContentLength(), c.length) << c.what;
    EXPECT_EQ(f.Requests(), c.requests) << c.what;
    for (const auto& connection : f.net.Connections()) EXPECT_FALSE(connection.open) << c.what;
  }
}

TEST(THttpCli, RaisesOnDocDataAfterEachBlockWritten) {
  Fetch f;
  f.net.AddPeer("a", 80, Answer({std::string(kOk) + "Transfer-Encoding: chunked\r\n\r\n2\r\nab\r\n3\r\ncde\r\n", "1\r\nf\r\n0\r\n\r\n"}));
  f.Start("http://a/");
  f.net.RunUntilIdle();
  EXPECT_EQ(f.docData, (std::vector<std::int64_t>{2, 5, 6}));
}

TEST(THttpCli, StallsTimeOutAfterTheLastByte) {
  Fetch f;
  f.http->TimeoutMs = 5000;
  f.net.AddPeer("a", 80, Answer({std::string(kOk) + "Content-Length: 9\r\n\r\nabc"}, Peer::End::Silent));
  f.Start("http://a/");
  f.net.RunUntilIdle();
  EXPECT_EQ(f.net.NowMs(), 5000u);
  EXPECT_EQ(f.http->ReasonPhrase(), "Connection timed out");
  EXPECT_EQ(f.stream.bytes, "abc");
}

TEST(THttpCli, AbortEndsTheRequestAtOnce) {
  Fetch f;
  f.net.AddPeer("a", 80, Answer({std::string(kOk) + "\r\nab", "cd"}));
  f.http->OnDocData = [&f] { f.http->Abort(); };
  f.Start("http://a/");
  f.net.RunUntilIdle();
  EXPECT_EQ(f.done, std::vector<int>{kHttpAborted});
  EXPECT_EQ(f.http->StatusCode(), 404);
  EXPECT_EQ(f.http->ReasonPhrase(), "Connection aborted");
  EXPECT_EQ(f.stream.bytes, "ab");
  EXPECT_FALSE(f.net.Connections()[0].open);

  // Before any event: the end is posted, never delivered from inside Abort.
  f.done.clear();
  f.Start("http://a/");
  f.http->Abort();
  EXPECT_TRUE(f.done.empty());
  f.net.RunUntilIdle();
  EXPECT_EQ(f.done, std::vector<int>{kHttpAborted});
}

class FullDisk : public ReceiveStream {
 public:
  void Write(const char*, std::size_t) override { throw PlatformError("Disk full"); }
};

// A full disk, and a page past the memory stream's limit: the transfer ends with the stream's words,
// and its user, who waits for OnRequestDone, hears of it.
TEST(THttpCli, AStreamThatFailsRaisesEHttpExceptionAndEndsTheRequest) {
  FullDisk disk;
  MemoryReceiveStream small(3);
  const struct {
    ReceiveStream* stream;
    const char* reason;
    std::size_t blocksWritten;
  } cases[] = {{&disk, "Disk full", 0}, {&small, "The response is larger than 3 bytes", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    Fetch f;
    f.http->RcvdStream = c.stream;
    f.net.AddPeer("a", 80, Answer({std::string(kOk) + "\r\nab", "cd"}));
    f.Start("http://a/");
    try {
      f.net.RunUntilIdle();
      ADD_FAILURE() << "no exception";
    } catch (const EHttpException& e) {
      EXPECT_STREQ(e.what(), c.reason);
    }
    f.net.RunUntilIdle();
    EXPECT_EQ(f.done, std::vector<int>{kHttpFailed});
    EXPECT_EQ(f.docData.size(), c.blocksWritten);
    EXPECT_EQ(f.http->StatusCode(), 404);
    EXPECT_EQ(f.http->ReasonPhrase(), c.reason);
    EXPECT_FALSE(f.net.Connections()[0].open);
  }
}

TEST(THttpCli, EachRequestCallsBackOnceInOrder) {
  Fetch f;
  f.net.AddPeer("a", 80, Answer({}, Peer::End::Silent));
  f.net.AddPeer("b", 80, Answer({std::string(kOk) + "\r\nB"}));
  f.Start("http://a/");
  f.Start("http://b/");  // the first is aborted, and told so first
  f.net.RunUntilIdle();
  EXPECT_EQ(f.done, (std::vector<int>{kHttpAborted, 0}));
  EXPECT_EQ(f.stream.bytes, "B");

  // Started again from its own OnRequestDone, then destroyed from it.
  f.done.clear();
  f.http->OnRequestDone = [&f](int) {
    f.done.push_back(static_cast<int>(f.stream.bytes.size()));
    if (f.done.size() == 1) f.http->GetASync();
    else f.http.reset();
  };
  f.Start("http://b/");
  f.net.RunUntilIdle();
  EXPECT_EQ(f.done, (std::vector<int>{2, 3}));
  EXPECT_EQ(f.http, nullptr);
}

// The transport decides on the bytes, not on how the reads fall: every response below, whole,
// byte by byte and cut in two at every place, with the request taken whole or a byte at a time.
TEST(THttpCli, SameBytesSameOutcomeHoweverTheReadsFall) {
  const std::string ok = kOk;
  struct Case {
    const char* what;
    std::string bytes;
    Peer::End end;
    std::string outcome;  // "error status reason|body|length"
  } cases[] = {
      {"a line end after a Content-Length body", ok + "Content-Length: 3\r\n\r\nabc\r\n", Peer::End::Close, "0 200 OK|abc|3"},
      {"a second response after the body", ok + "Content-Length: 3\r\n\r\nabc" + ok + "\r\nmore", Peer::End::Close, "0 200 OK|abc|3"},
      {"a body, then silence", ok + "Content-Length: 3\r\n\r\nabc\r\n", Peer::End::Silent, "0 200 OK|abc|3"},
      {"a body, then a reset", ok + "Content-Length: 3\r\n\r\nabc\r\n", Peer::End::Reset, "0 200 OK|abc|3"},
      {"bytes after the last chunk", ok + "Transfer-Encoding: chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n\r\nxyz", Peer::End::Close, "0 200 OK|ab|-1"},
      {"bytes after a 204", "HTTP/1.1 204 No Content\r\n\r\n\r\n", Peer::End::Reset, "0 204 No Content||-1"},
      {"a body until the close", "HTTP/1.0 200 OK\r\n\r\nall of it", Peer::End::Close, "0 200 OK|all of it|-1"},
      {"a body until a reset", "HTTP/1.0 200 OK\r\n\r\nall of it", Peer::End::Reset, "1 404 Connection lost|all of it|-1"},
      {"cut short", ok + "Content-Length: 9\r\n\r\nabc", Peer::End::Close, "1 404 Connection lost|abc|9"},
      {"a bad chunk after good ones", ok + "Transfer-Encoding: chunked\r\n\r\n1\r\na\r\nz\r\n", Peer::End::Close, "1 404 Invalid chunk|a|-1"},
      {"a redirection whose body runs on", "HTTP/1.1 302 Found\r\nLocation: /b\r\nContent-Length: 1\r\n\r\nxyz", Peer::End::Close, "0 200 OK|B|1"},
  };
  for (const auto& c : cases) {
    const std::string_view bytes = c.bytes;
    std::vector<std::vector<std::string>> splits = {{c.bytes}, {}};
    for (std::size_t i = 0; i < bytes.size(); ++i) splits[1].emplace_back(bytes.substr(i, 1));
    for (std::size_t cut = 1; cut < bytes.size(); ++cut) splits.push_back({std::string(bytes.substr(0, cut)), std::string(bytes.substr(cut))});
    for (std::size_t s = 0; s < splits.size(); ++s) {
      for (std::size_t takePerSend : {0, 1}) {
        Fetch f;
        Peer peer = Answer(splits[s], c.end);
        peer.takePerSend = takePerSend;
        f.net.AddPeer("a", 80, peer);
        Peer target = Answer({ok + "Content-Length: 1\r\n\r\nB"});
        target.takePerSend = takePerSend;
        f.net.AddPeer("a", 80, target);
        f.Start("http://a/");
        f.net.RunUntilIdle();
        ASSERT_EQ(f.done.size(), 1u);
        const std::string outcome = std::to_string(f.done[0]) + " " + std::to_string(f.http->StatusCode()) + " " +
                                    f.http->ReasonPhrase() + "|" + f.stream.bytes + "|" + std::to_string(f.http->ContentLength());
        ASSERT_EQ(outcome, c.outcome) << c.what << (s == 0 ? ", whole" : s == 1 ? ", byte by byte" : ", cut at " + std::to_string(s - 1))
                                      << (takePerSend ? ", the request a byte at a time" : "");
        EXPECT_EQ(f.net.TimersFired(), 0) << c.what;
      }
    }
  }
}

TEST(THttpCli, FollowsARedirectionOnlyWhereItMayLead) {
  const auto moved = [](const std::string& location) {
    return Answer({"HTTP/1.1 302 Found\r\nLocation: " + location + "\r\nContent-Length: 0\r\n\r\n"});
  };
  const Peer page = Answer({std::string(kOk) + "Content-Length: 2\r\n\r\nok"});
  struct Case {
    const char* what;
    std::string url, proxy;
    std::vector<std::pair<std::string, Peer>> peers;
    std::string end;
    std::string requests;
  } cases[] = {
      {"from the web to the user's mail server", "http://example.com/", "", {{"example.com:80", moved("http://127.0.0.1:25/")}, {"127.0.0.1:25", page}},
       "1 404 Redirection not allowed 0", "example.com:80 GET / HTTP/1.1"},
      {"from the web to another port", "http://example.com/", "", {{"example.com:80", moved("http://example.org:8080/")}, {"example.org:8080", page}},
       "1 404 Redirection not allowed 0", "example.com:80 GET / HTTP/1.1"},
      {"from the web to the web", "http://example.com/", "", {{"example.com:80", moved("http://example.org/x")}, {"example.org:80", page}},
       "0 200 OK 2", "example.com:80 GET / HTTP/1.1 | example.org:80 GET /x HTTP/1.1"},
      {"to the same port elsewhere", "http://example.com:8080/", "", {{"example.com:8080", moved("//example.org:8080/")}, {"example.org:8080", page}},
       "0 200 OK 2", "example.com:8080 GET / HTTP/1.1 | example.org:8080 GET / HTTP/1.1"},
      {"on the user's machine, to another port", "http://127.0.0.1:8080/", "", {{"127.0.0.1:8080", moved("http://127.0.0.1:25/")}},
       "1 404 Redirection not allowed 0", "127.0.0.1:8080 GET / HTTP/1.1"},
      {"through a proxy, from the web to the local network", "http://example.com/", "px", {{"px:80", moved("http://192.168.1.1/")}},
       "1 404 Redirection not allowed 0", "px:80 GET http://example.com/ HTTP/1.1"},
      {"through a proxy, from the web to the web", "http://example.com/", "px", {{"px:80", moved("http://example.org/")}, {"px:80", page}},
       "0 200 OK 2", "px:80 GET http://example.com/ HTTP/1.1 | px:80 GET http://example.org/ HTTP/1.1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fetch f;
    f.Serve(c.peers);
    f.http->Proxy = c.proxy;
    f.Start(c.url);
    f.net.RunUntilIdle();
    EXPECT_EQ(f.ends, std::vector<std::string>{c.end});
    EXPECT_EQ(f.Requests(), c.requests);
  }
}

// Whatever ends a request, and from wherever, its user hears of it once, in order, and with the
// status and reason of that request, not of the next one.
TEST(THttpCli, EveryRequestEndsExactlyOnceWhateverEndsIt) {
  const std::string page = std::string(kOk) + "Content-Length: 4\r\n\r\nab";
  struct Case {
    const char* what;
    std::function<void(Fetch&)> run;
    std::vector<std::string> ends;  // "error status reason received"
    int exceptions;
  } cases[] = {
      {"aborted while connecting, twice", [](Fetch& f) { f.Start("http://a/"); f.http->Abort(); f.http->Abort(); },
       {"2 404 Connection aborted 0"}, 0},
      {"aborted after the end, before OnRequestDone", [](Fetch& f) { f.Start("http://a/"); f.RunUntilClosed(); f.http->Abort(); },
       {"0 200 OK 4"}, 0},
      {"a new request while one runs", [](Fetch& f) { f.Start("http://silent/"); f.Start("http://a/"); },
       {"2 404 Connection aborted 0", "0 200 OK 4"}, 0},
      {"three requests at once", [](Fetch& f) { f.Start("http://silent/"); f.Start("http://silent/"); f.Start("http://a/"); },
       {"2 404 Connection aborted 0", "2 404 Connection aborted 0", "0 200 OK 4"}, 0},
      {"a new request while the last one's end is on its way", [](Fetch& f) { f.Start("http://a/"); f.RunUntilClosed(); f.Start("http://a/"); },
       {"0 200 OK 4", "0 200 OK 4"}, 0},
      {"a new request after a failure inside GetASync", [](Fetch& f) { f.Start("https://a/"); f.Start("http://a/"); },
       {"1 404 Invalid URL 0", "0 200 OK 4"}, 0},
      {"the stream fails", [](Fetch& f) { f.http->RcvdStream = &f.small; f.Start("http://a/"); },
       {"1 404 The response is larger than 3 bytes 2"}, 1},
      {"OnDocData throws", [](Fetch& f) { f.http->OnDocData = [] { throw std::runtime_error("The handler failed"); }; f.Start("http://a/"); },
       {"1 404 The handler failed 2"}, 1},
      {"OnDocData aborts, then throws", [](Fetch& f) {
         f.http->OnDocData = [&f] { f.http->Abort(); throw std::runtime_error("The handler failed"); };
         f.Start("http://a/");
       }, {"2 404 Connection aborted 2"}, 1},
      {"OnDocData starts a new request", [](Fetch& f) {
         f.http->OnDocData = [&f] { if (f.docData.empty()) f.http->GetASync(); f.docData.push_back(f.http->RcvdCount()); };
         f.Start("http://a/");
       }, {"2 404 Connection aborted 2", "0 200 OK 4"}, 0},
      {"OnDocData destroys the object", [](Fetch& f) { f.http->OnDocData = [&f] { f.http.reset(); }; f.Start("http://a/"); },
       {}, 0},
      {"OnDocData destroys the object, then throws", [](Fetch& f) {
         f.http->OnDocData = [&f] { f.http.reset(); throw std::runtime_error("The handler failed"); };
         f.Start("http://a/");
       }, {}, 1},
      {"destroyed while OnRequestDone is on its way", [](Fetch& f) { f.Start("http://a/"); f.RunUntilClosed(); f.http.reset(); },
       {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fetch f;
    f.Serve({{"a:80", Answer({page, "cd"})}, {"silent:80", Answer({}, Peer::End::Silent)}});
    c.run(f);
    f.RunCatching();
    EXPECT_EQ(f.ends, c.ends);
    EXPECT_EQ(f.exceptions, c.exceptions);
    for (const auto& connection : f.net.Connections()) EXPECT_FALSE(connection.open);
  }
}

// One timer for the stall and for the deadline, over the virtual clock: a server that drips a
// byte just within the stall limit is ended by the deadline, which spans connecting and every
// redirection, and the clock's wrap changes nothing.
TEST(THttpCli, ADeadlineEndsTheWholeRequest) {
  Peer drip = Answer({std::string(kOk) + "Content-Length: 5\r\n\r\n", "a", "b", "c", "d", "e"}, Peer::End::Silent);
  drip.waitMs = {0, 29000, 29000, 29000, 29000, 29000};
  Peer slowConnect = Answer({std::string(kOk) + "\r\nx"});
  slowConnect.connectMs = 90000;
  Peer slowRedirect = Answer({"HTTP/1.1 302 Found\r\nLocation: /next\r\n\r\n"}, Peer::End::Silent);
  slowRedirect.waitMs = {25000};
  Peer slowPage = Answer({std::string(kOk) + "Content-Length: 2\r\n\r\n", "ok"});
  slowPage.waitMs = {25000, 0};
  Peer inTime = Answer({std::string(kOk) + "Content-Length: 2\r\n\r\nok"});
  inTime.waitMs = {59999};
  Peer aDayLater = Answer({std::string(kOk) + "Content-Length: 2\r\n\r\nok"});
  aDayLater.waitMs = {86'400'000};
  Peer headThenNothing = Answer({std::string(kOk) + "Content-Length: 2\r\n\r\n"}, Peer::End::Silent);
  constexpr std::uint64_t kBeforeTheWrap = (std::uint64_t{1} << 32) - 30000;
  struct Case {
    const char* what;
    unsigned timeoutMs, deadlineMs;
    std::uint64_t clockStart;
    std::vector<Peer> peers;  // for a:80, in turn
    std::string end;          // "error status reason received"
    std::uint32_t endsAtMs;   // after the start
    std::size_t connections;
  } cases[] = {
      {"a drip, no deadline", 30000, 0, 0, {drip}, "0 200 OK 5", 145000, 1},
      {"a drip, a minute's deadline", 30000, 60000, 0, {drip}, "1 404 Request took too long 2", 60000, 1},
      {"a drip over the clock's wrap", 30000, 60000, kBeforeTheWrap, {drip}, "1 404 Request took too long 2", 60000, 1},
      {"a stall before the deadline", 10000, 60000, 0, {headThenNothing}, "1 404 Connection timed out 0", 10000, 1},
      {"the deadline before a stall", 30000, 5000, 0, {headThenNothing}, "1 404 Request took too long 0", 5000, 1},
      {"connecting takes too long", 0, 60000, 0, {slowConnect}, "1 404 Request took too long 0", 60000, 1},
      {"over a redirection", 30000, 40000, 0, {slowRedirect, slowPage}, "1 404 Request took too long 0", 40000, 2},
      {"a redirection within the deadline", 30000, 60000, 0, {slowRedirect, slowPage}, "0 200 OK 2", 50000, 2},
      {"the last byte just in time", 0, 60000, kBeforeTheWrap, {inTime}, "0 200 OK 2", 59999, 1},
      {"no limit at all", 0, 0, 0, {aDayLater}, "0 200 OK 2", 86'400'000, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Fetch f;
    f.net.StartClockAt(c.clockStart);
    for (const Peer& peer : c.peers) f.net.AddPeer("a", 80, peer);
    std::uint32_t endedAt = 0;
    const auto record = f.http->OnRequestDone;
    f.http->OnRequestDone = [&](int error) {
      endedAt = f.net.NowMs();
      record(error);
    };
    f.http->TimeoutMs = c.timeoutMs;
    f.http->DeadlineMs = c.deadlineMs;
    const std::uint32_t start = f.net.NowMs();
    f.Start("http://a/");
    f.net.RunUntilIdle();
    EXPECT_EQ(f.ends, std::vector<std::string>{c.end});
    EXPECT_EQ(static_cast<std::uint32_t>(endedAt - start), c.endsAtMs);
    EXPECT_EQ(f.net.Connections().size(), c.connections);
  }
}

TEST(THttpCli, TheDeadlineIsTakenWhenTheRequestIsAskedFor) {
  Fetch f;
  f.net.AddPeer("a", 80, Answer({}, Peer::End::Silent));
  f.http->TimeoutMs = 0;
  f.http->DeadlineMs = 1000;
  f.Start("http://a/");
  f.http->DeadlineMs = 0;  // for the next request
  f.net.RunUntilIdle();
  EXPECT_EQ(f.ends, std::vector<std::string>{"1 404 Request took too long 0"});
  EXPECT_EQ(f.net.NowMs(), 1000u);
}

}  // namespace
}  // namespace sorel::test
