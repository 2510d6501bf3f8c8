// In-memory sockets for tests.
#include "tests/fakes/memory_sockets.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

namespace sorel {

struct MemorySockets::Link {
  Record record;
  Peer peer;
  SocketHandler* handler = nullptr;
  std::string inbound;          // arrived, not yet read
  bool connected = false, answered = false, full = false, peerClosed = false, broken = false;
  std::uint64_t timerAt = 0;    // 0: no timer
};

class MemoryConnection : public Connection {
 public:
  MemoryConnection(MemorySockets& sockets, std::shared_ptr<MemorySockets::Link> link)
      : sockets_(sockets), link_(std::move(link)) {}
  ~MemoryConnection() override {
    link_->record.open = false;
    link_->timerAt = 0;
  }

  long Send(const char* data, std::size_t size) override {
    MemorySockets::Link& l = *link_;
    if (!l.connected || l.broken) return -1;
    if (l.full) return 0;
    const std::size_t take = l.peer.takePerSend ? std::min(size, l.peer.takePerSend) : size;
    l.record.sent.append(data, take);
    if (take < size) {
      l.full = true;
      sockets_.Queue(link_, [](MemorySockets::Link& q) {
        q.full = false;
        q.handler->OnWritable();
      });
    }
    if (!l.answered && l.record.sent.find("\r\n\r\n") != std::string::npos) {
      l.answered = true;
      sockets_.Answer(link_);
    }
    return static_cast<long>(take);
  }

  long Receive(char* data, std::size_t size) override {
    MemorySockets::Link& l = *link_;
    if (!l.inbound.empty()) {
      const std::size_t n = std::min(size, l.inbound.size());
      std::memcpy(data, l.inbound.data(), n);
      l.inbound.erase(0, n);
      return static_cast<long>(n);
    }
    if (l.broken) return -1;
    return l.peerClosed ? 0 : -1;
  }

  bool Broken() override { return link_->broken; }

  void SetTimer(unsigned milliseconds) override {
    link_->timerAt = milliseconds ? sockets_.now_ + milliseconds : 0;
  }

 private:
  MemorySockets& sockets_;
  std::shared_ptr<MemorySockets::Link> link_;
};

void MemorySockets::AddPeer(const std::string& host, int port, Peer peer) {
  peers_[host + ":" + std::to_string(port)].push_back(std::move(peer));
}

std::unique_ptr<Connection> MemorySockets::Connect(const std::string& host, int port, SocketHandler& handler) {
  auto link = std::make_shared<Link>();
  link->record.host = host;
  link->record.port = port;
  link->handler = &handler;
  auto found = peers_.find(host + ":" + std::to_string(port));
  if (found == peers_.end()) {
    link->peer.refuse = "Host not found";
  } else {
    link->peer = found->second.front();
    if (found->second.size() > 1) found->second.pop_front();
  }
  links_.push_back(link);
  Queue(
      link,
      [](Link& l) {
        l.connected = l.peer.refuse.empty();
        l.broken = !l.connected;
        l.handler->OnConnected(l.peer.refuse);
      },
      now_ + link->peer.connectMs);
  return std::make_unique<MemoryConnection>(*this, link);
}

void MemorySockets::Post(std::function<void()> task) { events_.push_back(std::move(task)); }

void MemorySockets::Queue(const std::shared_ptr<Link>& link, std::function<void(Link&)> event, std::uint64_t at) {
  auto guarded = [link, event = std::move(event)] {
    if (link->record.open) event(*link);
  };
  if (at <= now_) events_.push_back(std::move(guarded));
  else later_.emplace(at, std::make_pair(link, std::move(guarded)));
}

void MemorySockets::Answer(const std::shared_ptr<Link>& link) {
  const Peer& peer = link->peer;
  std::uint64_t at = now_;
  const auto wait = [&](std::size_t step) { return step < peer.waitMs.size() ? peer.waitMs[step] : 0; };
  for (std::size_t i = 0; i < peer.blocks.size(); ++i) {
    at += wait(i);
    Queue(
        link,
        [block = peer.blocks[i]](Link& l) {
          l.inbound += block;
          l.handler->OnReadable();
        },
        at);
  }
  at += wait(peer.blocks.size());
  if (peer.end == Peer::End::Close) {
    Queue(
        link,
        [](Link& l) {
          l.peerClosed = true;
          l.handler->OnClosed("");
        },
        at);
  } else if (peer.end == Peer::End::Reset) {
    Queue(
        link,
        [](Link& l) {
          l.broken = true;
          l.handler->OnClosed("Connection reset by peer");
        },
        at);
  }
}

std::shared_ptr<MemorySockets::Link> MemorySockets::NextTimer() const {
  std::shared_ptr<Link> next;
  for (const auto& link : links_)
    if (link->record.open && link->timerAt && (!next || link->timerAt < next->timerAt)) next = link;
  return next;
}

bool MemorySockets::RunOne() {
  if (events_.empty()) return false;
  auto event = std::move(events_.front());
  events_.pop_front();
  event();
  return true;
}

bool MemorySockets::RunNext() {
  if (RunOne()) return true;
  while (!later_.empty() && !later_.begin()->second.first->record.open) later_.erase(later_.begin());
  const auto timer = NextTimer();
  if (!later_.empty() && (!timer || later_.begin()->first <= timer->timerAt)) {
    // Every step of that moment, in the order they were planned; the first of them runs now.
    now_ = std::max(now_, later_.begin()->first);
    while (!later_.empty() && later_.begin()->first <= now_) {
      events_.push_back(std::move(later_.begin()->second.second));
      later_.erase(later_.begin());
    }
    return RunOne();
  }
  if (!timer) return false;
  now_ = std::max(now_, timer->timerAt);
  timer->timerAt = 0;
  ++timersFired_;
  timer->handler->OnTimer();
  return true;
}

void MemorySockets::RunUntilIdle() {
  for (int turns = 0; turns < 1000000; ++turns)
    if (!RunNext()) return;
  throw std::runtime_error("the events never end");
}

std::vector<MemorySockets::Record> MemorySockets::Connections() const {
  std::vector<Record> records;
  for (const auto& link : links_) records.push_back(link->record);
  return records;
}

}  // namespace sorel
