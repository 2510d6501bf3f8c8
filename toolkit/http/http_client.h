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
//
// Every failure ends with status 404, an English reason ("Invalid URL", "Invalid proxy port", the
// socket layer's sentence when the connection cannot be made, "Connection lost", "Connection timed
// out" for a stall, "Request took too long" when DeadlineMs has passed, "Connection aborted", "Too
// many redirections", "Invalid redirection" for a Location that is no http address, "Redirection
// not allowed", the response reader's reasons, or the message of an exception that ended it) and
// OnRequestDone(kHttpFailed or kHttpAborted); a complete response of any status ends with
// OnRequestDone(0).
//
// OnRequestDone comes exactly once for every GetASync, whatever ends the request, in the order
// of the calls; it is always posted to the message loop, never called from inside GetASync or
// Abort, and only the object's destruction drops it. While it runs, StatusCode, ReasonPhrase,
// RcvdCount and ContentLength describe the request it ends. A GetASync while a request runs
// aborts that one (its OnRequestDone(kHttpAborted) comes first); a request asked for while an
// earlier one's OnRequestDone is still on its way begins once that has been delivered.
// OnRequestDone may destroy the object or start a new request. DeadlineMs counts from the moment
// the request begins: at once, or after the OnRequestDone it waited for.
//
// An exception that leaves a network event ends the request first: a stream whose Write throws (a
// full disk, a page past its limit) closes the connection and makes the status 404 with the
// exception's message as reason, OnRequestDone(kHttpFailed) is posted, and EHttpException(message)
// leaves the socket event for the application's exception display. An exception from OnDocData
// ends the request the same way and goes on as it was thrown, unless the handler had already
// ended or replaced the request (or destroyed the object).
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
  // What a GetASync asked for, kept until the request begins.
  struct Asked {
    std::string url, proxy, proxyPort;
    unsigned deadlineMs = 0;
  };
  // How a request ended, handed to its OnRequestDone.
  struct Ending {
    int error = 0;
    int status = 0;
    std::string reason;
    std::int64_t received = 0, length = -1;
  };

  void OnConnected(const std::string& error) override;
  void OnReadable() override;
  void OnWritable() override;
  void OnClosed(const std::string& error) override;
  void OnTimer() override;

  template <class Step>
  void Guarded(Step step);
  void Begin(const Asked& asked);
  void Connect();
  void Activity();
  void ArmTimer(std::uint32_t now);
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
  void DeliverDone(const Ending& ending);

  Sockets& sockets_;
  std::shared_ptr<int> alive_;  // posted tasks hold it weakly: gone with the object
  unsigned request_ = 0;        // counts GetASync calls: a posted start of an older one is dropped
  bool running_ = false;        // the latest request has not ended yet (it may not have begun)
  bool begun_ = false;          // ... and has begun: it has its state and maybe a connection
  unsigned donesOnTheWay_ = 0;  // OnRequestDone posted, not yet delivered
  HttpUrl url_;                 // the address of the current hop
  bool viaProxy_ = false;
  std::string host_;            // where the connection goes: the origin or the proxy
  int port_ = 80;
  unsigned deadlineMs_ = 0;     // of the running request, 0: none
  std::uint32_t startedAt_ = 0; // NowMs when it began
  std::uint32_t activeAt_ = 0;  // NowMs when a byte last went or came, or the connecting began
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
