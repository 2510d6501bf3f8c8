// THttpCli: the HTTP transport over the message loop's sockets, a GET into a stream with redirections.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/sockets.h"
#include "toolkit/http/http_response.h"
#include "toolkit/http/http_transport.h"
#include "toolkit/http/http_url.h"

namespace sorel {

// OnRequestDone's error for a failed request, and for an aborted one.
constexpr int kHttpFailed = 1;
constexpr int kHttpAborted = 2;
constexpr int kHttpMaxRedirections = 5;

// One request at a time, over a new connection each (the request asks the server to close it).
// Redirections (301, 302, 303, 307, 308 with a Location) are followed, kHttpMaxRedirections at
// most, without writing their bodies, and only where RedirectionAllowed lets them go (also through
// a proxy). A response ends where its framing says: what the server sends after that is ignored.
// Every failure ends with status 404, an English reason ("Invalid URL", "Invalid proxy port", the
// socket layer's sentence when the connection cannot be made, "Connection lost", "Connection timed
// out", "Connection aborted", "Too many redirections", "Invalid redirection" for a Location that
// is no http address, "Redirection not allowed", or the response reader's reasons) and
// OnRequestDone(kHttpFailed or kHttpAborted); a complete response of any status ends with
// OnRequestDone(0). OnRequestDone is always posted to the message loop, never called from inside
// GetASync or Abort; it is dropped when the object is destroyed or a new request starts first, so
// nothing of a finished request calls back later. OnRequestDone may destroy the object or start
// a new request.
//
// A stream whose Write throws (a full disk) ends the request: the connection closes, the status
// becomes 404 with the exception's message as reason, and EHttpException(message) leaves the
// socket event for the application's exception display; no OnRequestDone follows.
class THttpCli : public HttpTransport, private SocketHandler {
 public:
  explicit THttpCli(Sockets& sockets);
  ~THttpCli() override;

  // A stall: no byte received or sent for this long fails as "Connection timed out"; 0: no limit.
  unsigned TimeoutMs = 30000;

  void GetASync() override;
  void Abort() override;
  int StatusCode() override { return status_; }
  std::string ReasonPhrase() override { return reason_; }
  std::int64_t RcvdCount() override { return received_; }
  std::int64_t ContentLength() override { return length_; }

 private:
  void OnConnected(const std::string& error) override;
  void OnReadable() override;
  void OnWritable() override;
  void OnClosed(const std::string& error) override;
  void OnTimer() override;

  void Connect();
  void ArmTimer();
  void SendPending();
  bool ReadAvailable();
  bool Consume(std::string_view bytes);
  bool Deliver(std::string_view body);
  bool Current(const std::weak_ptr<int>& alive, unsigned request) const;
  void FollowRedirection();
  void Stop();
  void Succeed();
  void Fail(const std::string& reason, int error = kHttpFailed);
  void PostDone(int error);

  Sockets& sockets_;
  std::shared_ptr<int> alive_;  // posted tasks hold it weakly: gone with the object
  unsigned request_ = 0;        // counts requests, so that a posted end of an older one is dropped
  bool running_ = false;
  HttpUrl url_;                 // the address of the current hop
  bool viaProxy_ = false;
  std::string host_;            // where the connection goes: the origin or the proxy
  int port_ = 80;
  std::string pending_;         // request bytes not yet sent
  std::unique_ptr<Connection> connection_;
  HttpResponseParser parser_;
  int redirections_ = 0;
  int status_ = 0;
  std::string reason_;
  std::int64_t received_ = 0;
  std::int64_t length_ = -1;    // of the response that is not a redirection followed
  static constexpr std::size_t kReceiveBlock = 256 * 1024;
  std::unique_ptr<char[]> buffer_;  // kReceiveBlock bytes, from the first read on
};

}  // namespace sorel
