// The test HTTP server: one thread, one connection at a time, each response sent as planned.
#include <winsock.h>

#include "tests/win32/http_test_server.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>

namespace sorel::test {
namespace {

constexpr std::size_t kMaxRequestHead = 64 * 1024;
constexpr DWORD kPollMs = 50;  // how soon Stop and Release are noticed

// Waits until one of the sockets can be read (or written): the ready one, or INVALID_SOCKET.
SOCKET WaitFor(SOCKET a, SOCKET b, bool write, DWORD ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(a, &set);
  if (b != INVALID_SOCKET) FD_SET(b, &set);
  timeval timeout{static_cast<long>(ms / 1000), static_cast<long>(ms % 1000 * 1000)};
  if (select(0, write ? nullptr : &set, write ? &set : nullptr, nullptr, &timeout) <= 0) return INVALID_SOCKET;
  return FD_ISSET(a, &set) ? a : b;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Hex(std::uint64_t value) {
  char text[24];
  snprintf(text, sizeof(text), "%llx", static_cast<unsigned long long>(value));
  return text;
}

// Request head: a request line and "Name: value" lines, each ended by CR LF, then an empty line.
// The target of the request line is what the server routes by: a path, or an absolute URL whose
// "http://host[:port]" is left out.
RecordedRequest ParseRequestHead(const std::string& head, std::string& path) {
  RecordedRequest request;
  std::size_t at = 0;
  for (bool first = true; at < head.size(); first = false) {
    std::size_t end = head.find("\r\n", at);
    if (end == std::string::npos) end = head.size();
    const std::string line = head.substr(at, end - at);
    at = end + 2;
    if (first) {
      request.requestLine = line;
    } else if (const auto colon = line.find(':'); colon != std::string::npos) {
      request.headers.emplace_back(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
    }
  }
  const auto space = request.requestLine.find(' ');
  path = space == std::string::npos ? "" : request.requestLine.substr(space + 1);
  path = path.substr(0, path.find(' '));
  if (Lower(path.substr(0, 7)) == "http://") {
    const auto slash = path.find('/', 7);
    path = slash == std::string::npos ? "/" : path.substr(slash);
  }
  return request;
}

// The body of a plan, read block by block from wherever it lives.
class BodySource {
 public:
  explicit BodySource(const ResponsePlan& plan) : plan_(plan) {
    if (!plan.body.empty() || (plan.generatedSize == 0 && plan.filePath.empty())) {
      size_ = plan.body.size();
    } else if (plan.generatedSize) {
      size_ = plan.generatedSize;
    } else {
      file_ = CreateFileA(plan.filePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
      DWORD high = 0;
      const DWORD low = GetFileSize(file_, &high);
      if (file_ != INVALID_HANDLE_VALUE) size_ = (static_cast<std::uint64_t>(high) << 32) | low;
    }
  }
  ~BodySource() {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  std::uint64_t Size() const { return size_; }
  // The next n bytes, starting at offset (blocks are read in order).
  bool Read(std::uint64_t offset, char* to, std::size_t n) {
    if (file_ != INVALID_HANDLE_VALUE) {
      DWORD got = 0;
      return ReadFile(file_, to, static_cast<DWORD>(n), &got, nullptr) && got == n;
    }
    if (plan_.generatedSize) {
      for (std::size_t i = 0; i < n; ++i) to[i] = static_cast<char>(PatternByte(offset + i));
    } else {
      std::memcpy(to, plan_.body.data() + offset, n);
    }
    return true;
  }

 private:
  const ResponsePlan& plan_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::uint64_t size_ = 0;
};

}  // namespace

ResponsePlan Redirect(const std::string& location, const std::string& status) {
  ResponsePlan plan;
  plan.status = status;
  plan.headers = {"Location: " + location};
  plan.body = "Moved to " + location;
  return plan;
}

std::uint64_t Checksum(const char* data, std::size_t size, std::uint64_t state) {
  for (std::size_t i = 0; i < size; ++i) state = (state ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
  return state;
}

std::uint64_t PatternChecksum(std::uint64_t size) {
  std::uint64_t state = kChecksumStart;
  char block[65536];
  for (std::uint64_t at = 0; at < size;) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof(block), size - at));
    for (std::size_t i = 0; i < n; ++i) block[i] = static_cast<char>(PatternByte(at + i));
    state = Checksum(block, n, state);
    at += n;
  }
  return state;
}

std::string RecordedRequest::Header(const std::string& name) const {
  for (const auto& [key, value] : headers)
    if (Lower(key) == Lower(name)) return value;
  return "";
}

HttpTestServer::HttpTestServer(int port) : port_(port), listener_(INVALID_SOCKET) {
  WSADATA data;
  WSAStartup(MAKEWORD(1, 1), &data);
  InitializeCriticalSection(&lock_);
  stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
}

HttpTestServer::~HttpTestServer() {
  Stop();
  CloseHandle(stop_);
  CloseHandle(release_);
  DeleteCriticalSection(&lock_);
  WSACleanup();
}

std::string HttpTestServer::Start() {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = inet_addr("127.0.0.1");
  address.sin_port = htons(static_cast<u_short>(port_));
  int length = sizeof(address);
  u_long nonBlocking = 1;
  if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) ||
      listen(listener_, 8) || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) ||
      ioctlsocket(listener_, FIONBIO, &nonBlocking))
    return "cannot listen on 127.0.0.1:" + std::to_string(port_) + " (socket error " +
           std::to_string(WSAGetLastError()) + ")";
  port_ = ntohs(address.sin_port);
  ResetEvent(stop_);
  thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
  return thread_ ? "" : "cannot start the server thread";
}

void HttpTestServer::Stop() {
  SetEvent(stop_);
  if (thread_) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }
  if (listener_ != INVALID_SOCKET) closesocket(listener_);
  listener_ = INVALID_SOCKET;
}

std::string HttpTestServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void HttpTestServer::Route(const std::string& path, const ResponsePlan& plan) {
  EnterCriticalSection(&lock_);
  routes_[path] = plan;
  LeaveCriticalSection(&lock_);
}

void HttpTestServer::ServeFiles(const std::string& folder) {
  EnterCriticalSection(&lock_);
  folder_ = folder;
  LeaveCriticalSection(&lock_);
}

void HttpTestServer::Release() { SetEvent(release_); }

std::vector<RecordedRequest> HttpTestServer::Requests() const {
  EnterCriticalSection(&lock_);
  std::vector<RecordedRequest> copy = requests_;
  LeaveCriticalSection(&lock_);
  return copy;
}

int HttpTestServer::Connections() const {
  EnterCriticalSection(&lock_);
  const int count = connections_;
  LeaveCriticalSection(&lock_);
  return count;
}

int HttpTestServer::RefusingPort() {
  WSADATA data;
  WSAStartup(MAKEWORD(1, 1), &data);
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = inet_addr("127.0.0.1");
  int length = sizeof(address);
  int port = 0;
  if (!bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) &&
      !getsockname(s, reinterpret_cast<sockaddr*>(&address), &length))
    port = ntohs(address.sin_port);
  closesocket(s);
  WSACleanup();
  return port;
}

bool HttpTestServer::Stopping() const { return WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0; }

DWORD WINAPI HttpTestServer::ThreadMain(void* self) {
  static_cast<HttpTestServer*>(self)->Serve();
  return 0;
}

void HttpTestServer::Serve() {
  while (!Stopping()) {
    if (WaitFor(listener_, INVALID_SOCKET, false, kPollMs) == INVALID_SOCKET) continue;
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) continue;
    u_long nonBlocking = 1;
    ioctlsocket(client, FIONBIO, &nonBlocking);
    EnterCriticalSection(&lock_);
    ++connections_;
    LeaveCriticalSection(&lock_);
    std::uintptr_t open = client;
    if (ServeConnection(open)) shutdown(client, 1);  // an orderly end: the client reads to the end
    if (open != INVALID_SOCKET) closesocket(client);
  }
}

// Serves requests on one connection until a response ends it: true when it ends in an orderly
// way, false when the client has gone or the socket was reset (then INVALID_SOCKET).
bool HttpTestServer::ServeConnection(std::uintptr_t& client) {
  std::string pending;
  for (bool served = false;; served = true) {
    std::size_t end;
    while ((end = pending.find("\r\n\r\n")) == std::string::npos) {
      if (Stopping() || pending.size() > kMaxRequestHead) return false;
      const SOCKET ready = WaitFor(client, served && pending.empty() ? listener_ : INVALID_SOCKET, false, kPollMs);
      if (ready == listener_) return false;  // idle, and someone else is waiting
      if (ready == INVALID_SOCKET) continue;
      char block[4096];
      const int got = recv(client, block, sizeof(block), 0);
      if (got <= 0) return false;
      pending.append(block, got);
    }
    std::string path;
    RecordedRequest request = ParseRequestHead(pending.substr(0, end), path);
    pending.erase(0, end + 4);
    ResponsePlan plan;
    EnterCriticalSection(&lock_);
    requests_.push_back(request);
    auto route = routes_.find(path);
    const bool routed = route != routes_.end();
    if (routed) plan = route->second;
    LeaveCriticalSection(&lock_);
    if (!routed && !FilePlan(path, plan)) {
      plan.status = "404 Not Found";
      plan.body = "No route for " + path;
    }
    const bool http11 = request.requestLine.size() >= 8 &&
                        request.requestLine.compare(request.requestLine.size() - 8, 8, "HTTP/1.1") == 0;
    const bool keep = http11 && Lower(request.Header("Connection")) != "close" &&
                      plan.framing != Framing::CloseDelimited;
    if (!keep) plan.headers.push_back("Connection: close");
    const Outcome outcome = Respond(client, plan);
    if (outcome != Outcome::Complete || !keep) return outcome != Outcome::Gone;
  }
}

bool HttpTestServer::FilePlan(const std::string& path, ResponsePlan& plan) const {
  EnterCriticalSection(&lock_);
  std::string file = folder_;
  LeaveCriticalSection(&lock_);
  const std::string name = path.substr(0, path.find('?'));
  if (file.empty() || name.empty() || name[0] != '/' || name.find("..") != std::string::npos) return false;
  file += name;
  std::replace(file.begin(), file.end(), '/', '\\');
  const DWORD attributes = GetFileAttributesA(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  plan.filePath = file;
  plan.headers = {"Content-Type: application/octet-stream"};
  plan.blockSize = 256 * 1024;
  return true;
}

HttpTestServer::Outcome HttpTestServer::Respond(std::uintptr_t& client, const ResponsePlan& plan) {
  // Whole buffers out, waiting while the client's window is full; false when the client has gone.
  auto sendAll = [&](const char* data, std::size_t size) {
    while (size > 0) {
      const int sent = send(client, data, static_cast<int>(std::min<std::size_t>(size, 1 << 20)), 0);
      if (sent > 0) {
        data += sent;
        size -= sent;
      } else if (WSAGetLastError() != WSAEWOULDBLOCK || Stopping()) {
        return false;
      } else {
        WaitFor(client, INVALID_SOCKET, true, kPollMs);
      }
    }
    return true;
  };
  auto sendText = [&](const std::string& text) { return sendAll(text.data(), text.size()); };

  BodySource source(plan);
  const std::uint64_t size = source.Size();
  std::string head = "HTTP/1.1 " + plan.status + "\r\n";
  for (const std::string& line : plan.headers) head += line + "\r\n";
  if (plan.framing == Framing::ContentLength) head += "Content-Length: " + std::to_string(size) + "\r\n";
  if (plan.framing == Framing::Chunked) head += "Transfer-Encoding: chunked\r\n";
  if (plan.oversizedHeader) head += "X-Padding: " + std::string(plan.oversizedHeader, 'x') + "\r\n";
  if (plan.headDelayMs && WaitForSingleObject(stop_, plan.headDelayMs) == WAIT_OBJECT_0) return Outcome::Gone;
  if (!sendText(head + "\r\n")) return Outcome::Gone;

  const std::size_t blockSize = std::max<std::size_t>(plan.blockSize, 1);
  std::unique_ptr<char[]> block(new char[blockSize]);
  bool stalled = false;
  for (std::uint64_t sent = 0;;) {
    if (plan.resetAfter >= 0 && sent == static_cast<std::uint64_t>(plan.resetAfter)) {
      linger abort{1, 0};  // closesocket then sends RST instead of FIN
      setsockopt(client, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&abort), sizeof(abort));
      closesocket(client);
      client = INVALID_SOCKET;
      return Outcome::Gone;
    }
    if (plan.stallAfter >= 0 && sent == static_cast<std::uint64_t>(plan.stallAfter) && !stalled) {
      stalled = true;
      for (;;) {
        if (WaitForSingleObject(release_, 0) == WAIT_OBJECT_0) break;
        if (Stopping()) return Outcome::Gone;
        if (WaitFor(client, INVALID_SOCKET, false, kPollMs) == INVALID_SOCKET) continue;
        char ignored[512];
        const int got = recv(client, ignored, sizeof(ignored), 0);
        if (got == 0 || (got < 0 && WSAGetLastError() != WSAEWOULDBLOCK)) return Outcome::Gone;  // the client closed
      }
    }
    if (sent >= size) break;
    if (sent > 0 && plan.blockDelayMs && WaitForSingleObject(stop_, plan.blockDelayMs) == WAIT_OBJECT_0)
      return Outcome::Gone;
    // A block ends where a misbehaviour starts, so that exactly that many bytes go out before it.
    std::uint64_t n = std::min<std::uint64_t>(blockSize, size - sent);
    for (std::int64_t mark : {plan.resetAfter, plan.stallAfter})
      if (mark >= 0 && static_cast<std::uint64_t>(mark) > sent) n = std::min<std::uint64_t>(n, mark - sent);
    if (!source.Read(sent, block.get(), static_cast<std::size_t>(n))) return Outcome::Gone;
    if (plan.framing == Framing::Chunked) {
      if (!sendText((plan.brokenChunk ? std::string("zz") : Hex(n)) + "\r\n") || !sendAll(block.get(), n) ||
          !sendText("\r\n"))
        return Outcome::Gone;
      if (plan.brokenChunk) return Outcome::EndConnection;
    } else if (sent + n == size && plan.extraBytes && !plan.extraDelayMs) {
      // The surplus in the same send as the end of the body, so that the client reads both at once.
      std::string last(block.get(), static_cast<std::size_t>(n));
      last.append(plan.extraBytes, '!');
      return sendText(last) ? Outcome::EndConnection : Outcome::Gone;
    } else if (!sendAll(block.get(), n)) {
      return Outcome::Gone;
    }
    sent += n;
  }
  if (plan.framing == Framing::Chunked && !sendText("0\r\n\r\n")) return Outcome::Gone;
  // The surplus would be read as the next response: the connection ends after it.
  if (plan.extraBytes) {
    if (plan.extraDelayMs && WaitForSingleObject(stop_, plan.extraDelayMs) == WAIT_OBJECT_0) return Outcome::Gone;
    return sendText(std::string(plan.extraBytes, '!')) ? Outcome::EndConnection : Outcome::Gone;
  }
  return Outcome::Complete;
}

}  // namespace sorel::test
