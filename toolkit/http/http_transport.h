// What the update component asks of an HTTP transport: an asynchronous GET into a stream, its
// status, progress and completion. THttpCli is the real one; tests put their own in its place.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace sorel {

// Where a response body goes as it arrives: memory for pages, a file for downloads.
class ReceiveStream {
 public:
  virtual ~ReceiveStream() = default;  // a file stream closes its file
  // Appends; a failure (a full disk) throws PlatformError.
  virtual void Write(const char* data, std::size_t size) = 0;
};

// Holds what arrives in memory, up to a limit: a server must not be able to fill the memory with
// a page that should be a few lines. Past the limit Write throws, which ends the transfer.
class MemoryReceiveStream : public ReceiveStream {
 public:
  explicit MemoryReceiveStream(std::size_t limit = 4 * 1024 * 1024) : limit_(limit) {}
  void Write(const char* data, std::size_t size) override {
    if (size > limit_ - bytes.size())
      throw std::length_error("The response is larger than " + std::to_string(limit_) + " bytes");
    bytes.append(data, size);
  }
  std::string bytes;

 private:
  std::size_t limit_;
};

// An error the transport raises while it handles network events; it reaches the application's
// exception handler, not whoever started the request.
class EHttpException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class HttpTransport {
 public:
  virtual ~HttpTransport() = default;
  // "http://host[:port]/path". Proxy: host name or address, "" for a direct connection.
  std::string URL, Proxy, ProxyPort = "80";
  // The body goes here as it arrives; the transport does not own it.
  ReceiveStream* RcvdStream = nullptr;
  // The longest a whole request may take, connecting and redirections included, in milliseconds;
  // past it the request fails with status 404. 0: no limit (a download, which only a stall or
  // the user ends). Taken when GetASync is called.
  unsigned DeadlineMs = 0;

  // Starts a GET of URL and returns at once; OnDocData and then OnRequestDone follow from the
  // message loop. A request still running is aborted first, and its OnRequestDone comes first.
  virtual void GetASync() = 0;
  // Ends the running request; OnRequestDone follows with status 404 and the abort reason.
  virtual void Abort() = 0;
  // 0 until a status line arrives; 404 for every failure before or outside a response.
  virtual int StatusCode() = 0;
  virtual std::string ReasonPhrase() = 0;
  virtual std::int64_t RcvdCount() = 0;     // body bytes received so far
  virtual std::int64_t ContentLength() = 0; // announced length, -1 when none

  // After each block written to RcvdStream.
  std::function<void()> OnDocData;
  // Exactly once per GetASync, when that request has ended, however it ended: error 0 for a
  // complete response (any status), else not 0.
  std::function<void(int error)> OnRequestDone;
};

}  // namespace sorel
