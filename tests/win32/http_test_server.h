// An HTTP/1.1 server on 127.0.0.1 for tests: responses planned by the test, misbehaviours on demand.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace sorel::test {

// How the end of a body is told.
enum class Framing { ContentLength, Chunked, CloseDelimited };

// One response, as the test wants it sent. The body is `body`, or generatedSize bytes of the
// pattern (PatternByte), or the contents of filePath, in that order of preference.
struct ResponsePlan {
  std::string status = "200 OK";       // after "HTTP/1.1 "
  std::vector<std::string> headers;    // "Name: value" lines, sent as given
  std::string body;
  std::uint64_t generatedSize = 0;
  std::string filePath;
  Framing framing = Framing::ContentLength;
  std::size_t blockSize = 16384;  // the body goes out in blocks (one chunk each when chunked)
  unsigned blockDelayMs = 0;      // a pause before every block but the first
  // Misbehaviours. Body byte counts; -1: not at all.
  std::int64_t resetAfter = -1;  // then SO_LINGER 0 and closesocket: the client sees a reset
  std::int64_t stallAfter = -1;  // then nothing until Release, Stop or the client closes
  std::uint64_t extraBytes = 0;  // sent after the announced body: more than Content-Length says
  unsigned extraDelayMs = 0;     // 0: the surplus goes out with the body's end; else in a send
                                 // of its own, this long after it
  unsigned headDelayMs = 0;      // a pause before the status line
  bool brokenChunk = false;      // the first chunk's size line is not hexadecimal
  std::size_t oversizedHeader = 0;  // an "X-Padding" header of this many bytes
};

// A redirect to location (absolute or a path on this server).
ResponsePlan Redirect(const std::string& location, const std::string& status = "302 Found");

// Byte i of the generated body; the pattern repeats only after 4 GiB, so a lost or repeated block
// changes the checksum.
inline unsigned char PatternByte(std::uint64_t i) {
  return static_cast<unsigned char>((static_cast<std::uint32_t>(i) * 2654435761u) >> 24);
}
// FNV-1a over bytes, continued from state (start with kChecksumStart).
constexpr std::uint64_t kChecksumStart = 14695981039346656037ull;
std::uint64_t Checksum(const char* data, std::size_t size, std::uint64_t state = kChecksumStart);
// The checksum of the first size bytes of the pattern.
std::uint64_t PatternChecksum(std::uint64_t size);

// What the server read of one request.
struct RecordedRequest {
  std::string requestLine;  // "GET /path HTTP/1.1", or the absolute form a proxy is sent
  std::vector<std::pair<std::string, std::string>> headers;  // in order, values trimmed
  // The first header of that name (any case); "" when absent.
  std::string Header(const std::string& name) const;
};

// One thread accepts and serves one connection at a time, keeping it for further requests unless
// a response ends it; a connection waiting idle for its next request is dropped as soon as another
// client connects. A request for a path without a route is answered from the file folder when
// there is one, otherwise with 404.
class HttpTestServer {
 public:
  // port 0: a free one. Start() reports whether listening began.
  explicit HttpTestServer(int port = 0);
  ~HttpTestServer();  // Stop()
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  // Binds and starts the thread; "" or what failed.
  std::string Start();
  // Ends the thread and closes every socket; a stalled response ends too.
  void Stop();
  int Port() const { return port_; }
  // "http://127.0.0.1:PORT" + path.
  std::string Url(const std::string& path) const;

  // The path is matched with the request target, an absolute URL's scheme and host left out.
  void Route(const std::string& path, const ResponsePlan& plan);
  // Answers unrouted paths with the files below folder ("" for none).
  void ServeFiles(const std::string& folder);
  // Lets every stalled response, present and future, go on.
  void Release();
  std::vector<RecordedRequest> Requests() const;
  // Connections accepted so far.
  int Connections() const;

  // A port on 127.0.0.1 that refuses connections: bound once for a free number, then closed.
  static int RefusingPort();

 private:
  // Complete: the connection may serve another request; EndConnection: close it in an orderly
  // way; Gone: the client has gone or the socket was reset.
  enum class Outcome { Complete, EndConnection, Gone };
  static DWORD WINAPI ThreadMain(void* self);
  void Serve();
  bool ServeConnection(std::uintptr_t& client);
  Outcome Respond(std::uintptr_t& client, const ResponsePlan& plan);
  bool FilePlan(const std::string& path, ResponsePlan& plan) const;
  bool Stopping() const;

  int port_;
  std::uintptr_t listener_;
  HANDLE thread_ = nullptr;
  HANDLE stop_ = nullptr;     // manual reset: set by Stop
  HANDLE release_ = nullptr;  // manual reset: set by Release
  mutable CRITICAL_SECTION lock_;
  std::map<std::string, ResponsePlan> routes_;
  std::string folder_;
  std::vector<RecordedRequest> requests_;
  int connections_ = 0;
};

}  // namespace sorel::test
