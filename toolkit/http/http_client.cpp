// THttpCli: a GET over the message loop's sockets, its redirections, failures, stalls and deadline.
#include "toolkit/http/http_client.h"

#include <exception>
#include <utility>

#include "toolkit/http/http_request.h"

namespace sorel {

namespace {

// A port as the proxy settings hold it: decimal digits, 1..65535.
int ParsePort(const std::string& text) {
  if (text.empty() || text.size() > 5) return 0;
  int port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    port = port * 10 + (c - '0');
  }
  return port <= 65535 ? port : 0;
}

bool IsRedirection(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The message of the exception being handled; only inside a catch block.
std::string ExceptionText() {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown error";
  }
}

}  // namespace

THttpCli::THttpCli(Sockets& sockets) : sockets_(sockets), alive_(std::make_shared<int>(0)) {}

// The connection closes without further events and alive_ goes, so posted tasks find nothing.
THttpCli::~THttpCli() = default;

void THttpCli::GetASync() {
  if (running_) Fail("Connection aborted", kHttpAborted);
  const unsigned request = ++request_;
  running_ = true;
  begun_ = false;
  status_ = 0;
  reason_.clear();
  received_ = 0;
  length_ = -1;
  Asked asked{URL, Proxy, ProxyPort, DeadlineMs};
  if (donesOnTheWay_ == 0) return Guarded([&] { Begin(asked); });
  // Each OnRequestDone shows the status of the request it ends: this one begins after them.
  const std::weak_ptr<int> alive = alive_;
  sockets_.Post([this, alive, request, asked = std::move(asked)] {
    if (alive.expired() || request != request_ || !running_ || begun_) return;
    Guarded([&] { Begin(asked); });
  });
}

void THttpCli::Abort() {
  if (running_) Fail("Connection aborted", kHttpAborted);
}

// Whatever a step throws ends the request first: its user waits for OnRequestDone, and no event
// of a connection left half read would ever bring one.
template <class Step>
void THttpCli::Guarded(Step step) {
  const std::weak_ptr<int> alive = alive_;
  const unsigned request = request_;
  try {
    step();
  } catch (...) {
    if (!alive.expired() && Current(alive, request)) Fail(ExceptionText());
    throw;
  }
}

void THttpCli::Begin(const Asked& asked) {
  begun_ = true;
  status_ = 0;
  reason_.clear();
  received_ = 0;
  length_ = -1;
  redirections_ = 0;
  deadlineMs_ = asked.deadlineMs;
  startedAt_ = sockets_.NowMs();
  parser_ = HttpResponseParser();
  const auto url = ParseHttpUrl(asked.url);
  if (!url) return Fail("Invalid URL");
  url_ = *url;
  viaProxy_ = !asked.proxy.empty();
  host_ = viaProxy_ ? asked.proxy : url_.host;
  port_ = viaProxy_ ? ParsePort(asked.proxyPort) : url_.port;
  if (port_ == 0) return Fail("Invalid proxy port");
  Connect();
}

void THttpCli::Connect() {
  pending_ = BuildGetRequest(url_, viaProxy_);
  parser_ = HttpResponseParser();
  connection_ = sockets_.Connect(host_, port_, *this);
  if (!connection_) return Fail("Connection failed");
  Activity();
}

// A byte went or came (or connecting began): the stall is counted from now.
void THttpCli::Activity() {
  activeAt_ = sockets_.NowMs();
  ArmTimer(activeAt_);
}

// One timer for the stall and the deadline, set for whichever falls due first. Differences of
// NowMs readings, so the clock's wrap does not matter.
void THttpCli::ArmTimer(std::uint32_t now) {
  if (!connection_) return;
  std::uint32_t wait = 0;  // 0: no timer
  const auto earliest = [&](std::uint32_t limit, std::uint32_t since) {
    const std::uint32_t passed = now - since;
    const std::uint32_t left = passed < limit ? limit - passed : 1;
    if (wait == 0 || left < wait) wait = left;
  };
  if (TimeoutMs) earliest(TimeoutMs, activeAt_);
  if (deadlineMs_) earliest(deadlineMs_, startedAt_);
  connection_->SetTimer(wait);
}

void THttpCli::OnConnected(const std::string& error) {
  Guarded([&] {
    if (!error.empty()) return Fail(error);
    Activity();
    SendPending();
  });
}

void THttpCli::SendPending() {
  while (!pending_.empty()) {
    const long sent = connection_->Send(pending_.data(), pending_.size());
    if (sent < 0) return Fail("Connection lost");
    if (sent == 0) return;  // OnWritable follows
    pending_.erase(0, static_cast<std::size_t>(sent));
    Activity();
  }
}

void THttpCli::OnWritable() {
  Guarded([&] { SendPending(); });
}

void THttpCli::OnReadable() {
  Guarded([&] { ReadAvailable(); });
}

void THttpCli::OnClosed(const std::string&) {
  // The reads see the close themselves; a close they did not notice still ends the response.
  Guarded([&] {
    if (ReadAvailable()) Fail("Connection lost");
  });
}

void THttpCli::OnTimer() {
  Guarded([&] {
    const std::uint32_t now = sockets_.NowMs();
    if (deadlineMs_ && now - startedAt_ >= deadlineMs_) return Fail("Request took too long");
    if (TimeoutMs && now - activeAt_ >= TimeoutMs) return Fail("Connection timed out");
    ArmTimer(now);  // neither is due yet (TimeoutMs was raised meanwhile): the rest of the time
  });
}

// Reads what the connection holds until the response is decided or nothing is left now. False
// once the connection is no longer this request's: the request ended or went on to a
// redirection, or the object is gone.
bool THttpCli::ReadAvailable() {
  // Under Wine every receive costs a round trip to the Wine server, whatever its size: large
  // blocks keep a fast download from being bound by that.
  if (!buffer_) buffer_.reset(new char[kReceiveBlock]);
  // Once the response is complete nothing more is read: what the server sent after it must not
  // decide anything, however the reads fall.
  while (parser_.state() == HttpResponseParser::State::Reading) {
    const long n = connection_->Receive(buffer_.get(), kReceiveBlock);
    if (n > 0) {
      Activity();
      if (!Consume(std::string_view(buffer_.get(), static_cast<std::size_t>(n)))) return false;
    } else if (n == 0) {
      parser_.Finish();
    } else if (connection_->Broken()) {
      // Broken, not closed: even a body that runs until the close is cut short.
      Fail("Connection lost");
      return false;
    } else {
      return true;  // nothing more now
    }
  }
  // Complete without waiting for the close: a server that keeps the connection open anyway
  // does not hold the request up.
  if (parser_.state() == HttpResponseParser::State::Complete) Succeed();
  else Fail(parser_.Failure());
  return false;
}

bool THttpCli::Consume(std::string_view bytes) {
  while (!bytes.empty() && parser_.state() == HttpResponseParser::State::Reading) {
    const bool headersBefore = parser_.HeadersDone();
    const std::string_view body = parser_.Feed(bytes);
    if (!headersBefore && parser_.HeadersDone()) {
      status_ = parser_.Status();
      reason_ = parser_.Reason();
      if (IsRedirection(status_) && parser_.Header("Location")) {
        FollowRedirection();
        return false;
      }
      length_ = parser_.ContentLength();
    }
    if (!body.empty() && !Deliver(body)) return false;
  }
  return true;
}

bool THttpCli::Current(const std::weak_ptr<int>& alive, unsigned request) const {
  return !alive.expired() && request == request_ && running_;
}

bool THttpCli::Deliver(std::string_view body) {
  if (RcvdStream) {
    try {
      RcvdStream->Write(body.data(), body.size());
    } catch (const std::exception& e) {
      const std::string message = e.what();
      Fail(message);
      throw EHttpException(message);
    }
  }
  received_ += static_cast<std::int64_t>(body.size());
  if (!OnDocData) return true;
  const std::weak_ptr<int> alive = alive_;
  const unsigned request = request_;
  const auto handler = OnDocData;  // the handler may replace it, or destroy this object
  handler();                       // what it throws, Guarded hands on
  return Current(alive, request);
}

void THttpCli::FollowRedirection() {
  if (redirections_ == kHttpMaxRedirections) return Fail("Too many redirections");
  const auto next = ResolveLocation(url_, *parser_.Header("Location"));
  if (!next) return Fail("Invalid redirection");
  if (!RedirectionAllowed(url_, *next)) return Fail("Redirection not allowed");
  ++redirections_;
  url_ = *next;
  status_ = 0;
  reason_.clear();
  if (!viaProxy_) {
    host_ = url_.host;
    port_ = url_.port;
  }
  connection_.reset();
  Connect();
}

void THttpCli::Stop() {
  running_ = false;
  connection_.reset();
  pending_.clear();
}

void THttpCli::Succeed() {
  if (!running_) return;
  Stop();
  status_ = parser_.Status();
  reason_ = parser_.Reason();
  PostDone(0);
}

void THttpCli::Fail(const std::string& reason, int error) {
  if (!running_) return;  // ended already: one OnRequestDone per request
  Stop();
  status_ = 404;
  reason_ = reason;
  if (!begun_) {
    // Aborted before it began: nothing of the request before it is this one's.
    received_ = 0;
    length_ = -1;
  }
  PostDone(error);
}

void THttpCli::PostDone(int error) {
  ++donesOnTheWay_;
  const std::weak_ptr<int> alive = alive_;
  sockets_.Post([this, alive, ending = Ending{error, status_, reason_, received_, length_}] {
    if (!alive.expired()) DeliverDone(ending);
  });
}

void THttpCli::DeliverDone(const Ending& ending) {
  --donesOnTheWay_;
  // A request asked for since waits for this delivery to begin, so its place still shows the
  // one that ended.
  if (!(running_ && begun_)) {
    status_ = ending.status;
    reason_ = ending.reason;
    received_ = ending.received;
    length_ = ending.length;
  }
  if (!OnRequestDone) return;
  const auto handler = OnRequestDone;  // the handler may destroy this object
  handler(ending.error);
}

}  // namespace sorel
