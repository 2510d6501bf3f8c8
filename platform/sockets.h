// TCP connections whose events arrive through the user-interface thread's message loop.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace sorel {

// What a connection tells its owner. Every call comes from the message loop (on Win32 the
// WSAAsyncSelect notifications of a hidden window), never from inside a call of the owner's, so
// the owner may destroy the connection in any of them.
class SocketHandler {
 public:
  virtual ~SocketHandler() = default;
  // The connection is up ("" ) or could not be made (an English sentence, "Connection refused").
  virtual void OnConnected(const std::string& error) = 0;
  // Bytes, or the peer's orderly close, can be read now.
  virtual void OnReadable() = 0;
  // Send may take more bytes now.
  virtual void OnWritable() = 0;
  // The peer closed ("") or the connection broke (an English sentence). Bytes still buffered can
  // be read after this. Wine 8 reports a reset by the peer as an orderly close, after dropping the
  // bytes not yet read: a protocol that knows how much is coming takes an early close as a failure.
  virtual void OnClosed(const std::string& error) = 0;
  // The timer set with Connection::SetTimer ran out.
  virtual void OnTimer() = 0;
};

class Connection {
 public:
  virtual ~Connection() = default;  // closes the socket at once; no event follows
  // Bytes taken (0: none now, wait for OnWritable); -1 when the connection is broken.
  virtual long Send(const char* data, std::size_t size) = 0;
  // Bytes read (at most size); 0: the peer has closed and nothing is left; -1: nothing now (wait
  // for OnReadable or OnClosed) or broken, with Broken() telling which.
  virtual long Receive(char* data, std::size_t size) = 0;
  virtual bool Broken() = 0;
  // One OnTimer after this many milliseconds; a new call restarts it, 0 stops it. Cheap enough to
  // restart after every block read.
  virtual void SetTimer(unsigned milliseconds) = 0;
};

class Sockets {
 public:
  virtual ~Sockets() = default;
  // Starts connecting to host (a name or a dotted address) at port and returns at once; the
  // outcome, also a name that cannot be resolved ("Host not found"), arrives as OnConnected.
  // The handler must outlive the connection.
  virtual std::unique_ptr<Connection> Connect(const std::string& host, int port, SocketHandler& handler) = 0;
  // Runs task once from the message loop, after the current event has been handled. Tasks run
  // in the order they were posted.
  virtual void Post(std::function<void()> task) = 0;
  // Milliseconds on a clock that goes on at the pace of the timers and wraps around after 2^32
  // (49.7 days): only the difference of two readings, taken modulo 2^32, means anything.
  virtual std::uint32_t NowMs() = 0;
};

}  // namespace sorel
