// In-memory sockets for tests: scripted peers per host and port, what each connection was sent, events run on demand.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/sockets.h"

namespace sorel {

// Delivers events as the Win32 sockets do: only from RunUntilIdle or RunOne (the message loop),
// never from inside a call of the owner's, and none for a connection once it is destroyed. Time
// is virtual: when no event is left, the clock jumps to the earliest timer set and that timer
// fires, so a stalled peer times out without the test waiting.
class MemorySockets : public Sockets {
 public:
  // What the peer does with one connection.
  struct Peer {
    std::string refuse;                // "" accepts; else the connection fails with this sentence
    std::vector<std::string> blocks;   // sent once the request's empty line has arrived, one read each
    enum class End { Close, Reset, Silent };
    End end = End::Close;              // after the last block: orderly close, reset, or nothing more
    std::size_t takePerSend = 0;       // bytes taken per Send, 0 for all; after a short take Send
                                       // takes nothing until the next OnWritable
  };
  struct Record {
    std::string host;
    int port = 0;
    std::string sent;  // every byte the peer took
    bool open = true;  // the owner still holds the connection
  };

  // Connections to host:port meet the peers added for it in turn, the last one again and again.
  // A host:port without a peer fails as "Host not found".
  void AddPeer(const std::string& host, int port, Peer peer);
  // Runs queued events and due timers until there are none; an exception from a handler comes
  // out of here, as the message loop hands it on. Throws std::runtime_error when events never end.
  void RunUntilIdle();
  // Runs the first queued event, if any, without moving the clock; whether there was one.
  // Exceptions as above.
  bool RunOne();
  std::uint64_t NowMs() const { return now_; }
  // Every connection made so far, in order.
  std::vector<Record> Connections() const;

  std::unique_ptr<Connection> Connect(const std::string& host, int port, SocketHandler& handler) override;
  void Post(std::function<void()> task) override;

  struct Link;  // one connection's state, shared by its Connection and its queued events

 private:
  void Queue(const std::shared_ptr<Link>& link, std::function<void(Link&)> event);
  void Answer(const std::shared_ptr<Link>& link);
  friend class MemoryConnection;

  std::map<std::string, std::deque<Peer>> peers_;
  std::vector<std::shared_ptr<Link>> links_;
  std::deque<std::function<void()>> events_;
  std::uint64_t now_ = 0;
};

}  // namespace sorel
