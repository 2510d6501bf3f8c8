// In-memory sockets for tests: scripted peers per host and port, what each connection was sent, events run on demand.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/sockets.h"

namespace sorel {

// Delivers events as the Win32 sockets do: only from the calls that run the message loop
// (RunUntilIdle, RunOne, RunNext), never from inside a call of the owner's, and none for a
// connection once it is destroyed. Time is virtual: a peer may take its time (connectMs, waitMs),
// and when nothing is queued the clock jumps to whatever falls due next, the peer's next step or
// a timer, so a stalled or dripping peer plays out without the test waiting. At the same moment
// the peer's step comes before a timer.
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
    std::uint64_t connectMs = 0;       // how long the connecting (or the refusal) takes
    std::vector<std::uint64_t> waitMs; // waited before block i, at i == blocks.size() before the
                                       // end; missing entries are 0
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
  // Runs queued events, the peers' steps and timers as they fall due until nothing is left; an
  // exception from a handler comes out of here, as the message loop hands it on. Throws
  // std::runtime_error when events never end.
  void RunUntilIdle();
  // Runs the first queued event, if any, without moving the clock; whether there was one.
  // Exceptions as above.
  bool RunOne();
  // One turn of the loop: the first queued event, or else whatever falls due next (the clock
  // moves to it); false when nothing is left. Exceptions as above.
  bool RunNext();
  // Sets the clock, before any timer is set: NowMs is its value modulo 2^32.
  void StartClockAt(std::uint64_t ms) { now_ = ms; }
  // Timers that have fired so far.
  int TimersFired() const { return timersFired_; }
  // Every connection made so far, in order.
  std::vector<Record> Connections() const;

  std::unique_ptr<Connection> Connect(const std::string& host, int port, SocketHandler& handler) override;
  void Post(std::function<void()> task) override;
  std::uint32_t NowMs() override { return static_cast<std::uint32_t>(now_); }

  struct Link;  // one connection's state, shared by its Connection and its queued events

 private:
  // The event for the connection, at the clock's time at (queued now when that has come).
  void Queue(const std::shared_ptr<Link>& link, std::function<void(Link&)> event, std::uint64_t at = 0);
  void Answer(const std::shared_ptr<Link>& link);
  // The open connection whose timer falls due first; nullptr when none.
  std::shared_ptr<Link> NextTimer() const;
  friend class MemoryConnection;

  std::map<std::string, std::deque<Peer>> peers_;
  std::vector<std::shared_ptr<Link>> links_;
  std::deque<std::function<void()>> events_;
  // The peers' steps still to come, by time; those of a connection closed meanwhile are dropped
  // without moving the clock.
  std::multimap<std::uint64_t, std::pair<std::shared_ptr<Link>, std::function<void()>>> later_;
  std::uint64_t now_ = 0;
  int timersFired_ = 0;
};

}  // namespace sorel
