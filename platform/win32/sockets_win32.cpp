// Winsock 1.1 connections whose notifications, timers and posted tasks arrive at a hidden window.
#include <winsock.h>

#include "platform/win32/sockets_win32.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "platform/errors.h"

namespace sorel {
namespace {

const char* const kWindowClass = "SorelSockets";
// Posted once for every batch of tasks.
constexpr UINT kWakeup = WM_APP;
// Each connection gets a message number of its own, so that a notification still queued for a
// closed socket cannot reach a newer connection whose socket got the same handle.
constexpr UINT kFirstSocketMessage = WM_APP + 0x10;
constexpr UINT kLastSocketMessage = 0xBFFF;

// The sentences a user sees for the errors a connection meets; the rest by number.
struct ErrorName {
  int code;
  const char* text;
};
constexpr ErrorName kErrorNames[] = {
    {WSAECONNREFUSED, "Connection refused"},
    {WSAECONNRESET, "Connection reset by peer"},
    {WSAECONNABORTED, "Connection aborted"},
    {WSAENETUNREACH, "Network is unreachable"},
    {WSAEHOSTUNREACH, "No route to host"},
    {WSAETIMEDOUT, "Connection timed out"},
    {WSAENETDOWN, "Network is down"},
    {WSAENETRESET, "Network dropped the connection"},
    {WSAESHUTDOWN, "Connection already shut down"},
    {WSAEADDRNOTAVAIL, "Address not available"},
    {WSAEAFNOSUPPORT, "Address family not supported"},
    {WSAEACCES, "Permission denied"},
    {WSAENOBUFS, "No buffer space available"},
    {WSAEMFILE, "Too many open sockets"},
    {WSAHOST_NOT_FOUND, "Host not found"},
    {WSATRY_AGAIN, "Host not found"},
    {WSANO_RECOVERY, "Host not found"},
    {WSANO_DATA, "Host not found"},
    {WSASYSNOTREADY, "The network is not ready"},
    {WSAVERNOTSUPPORTED, "Windows Sockets 1.1 is not available"},
    {WSAEPROCLIM, "Too many programs use the network"},
};

std::string ErrorText(int code) {
  for (const ErrorName& name : kErrorNames)
    if (name.code == code) return name.text;
  return "Socket error " + std::to_string(code);
}

int ClampedSize(std::size_t size) { return static_cast<int>(std::min<std::size_t>(size, INT_MAX)); }

// A dotted address as it stands, otherwise the first IPv4 address the resolver gives.
bool Resolve(const std::string& host, in_addr& address) {
  if (host.empty() || host.size() > 255) return false;
  const unsigned long dotted = inet_addr(host.c_str());
  if (dotted != INADDR_NONE) {
    address.s_addr = dotted;
    return true;
  }
  const hostent* entry = gethostbyname(host.c_str());
  if (!entry || entry->h_addrtype != AF_INET || entry->h_length != 4 || !entry->h_addr_list[0]) return false;
  std::memcpy(&address, entry->h_addr_list[0], 4);
  return true;
}

// Runs a handler; what it throws goes to the sink, and nothing crosses the window procedure.
template <class F>
void Guard(const std::function<void(const std::exception&)>& sink, F&& handler) {
  try {
    try {
      handler();
    } catch (const std::exception& e) {
      sink(e);
    } catch (...) {
      sink(std::runtime_error("Unknown error in a network event"));
    }
  } catch (...) {
    // The sink itself failed; there is nobody left to tell.
  }
}

}  // namespace

// Private to this file: the owner sees it only as a Connection.
class Win32Connection : public Connection {
 public:
  Win32Connection(Win32Sockets& owner, SocketHandler& handler, unsigned serial, UINT message)
      : owner(owner), handler(handler), serial(serial), message(message) {
    owner.connections_.push_back(this);
  }
  ~Win32Connection() override {
    auto& list = owner.connections_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (timer) KillTimer(owner.window_, timer);
    Close();  // also ends the notifications; those already queued find no connection
  }

  long Send(const char* data, std::size_t size) override {
    if (broken || socket == INVALID_SOCKET) return -1;
    if (connecting) return 0;  // OnWritable follows the connect
    const int sent = send(socket, data, ClampedSize(size), 0);
    if (sent != SOCKET_ERROR) return sent;
    if (WSAGetLastError() == WSAEWOULDBLOCK) return 0;
    broken = true;
    return -1;
  }

  long Receive(char* data, std::size_t size) override {
    if (socket == INVALID_SOCKET || connecting || size == 0) return -1;
    const int got = recv(socket, data, ClampedSize(size), 0);
    if (got != SOCKET_ERROR) return got;
    if (WSAGetLastError() != WSAEWOULDBLOCK) broken = true;
    return -1;
  }

  bool Broken() override { return broken; }

  // A transport restarts its stall timer after every block it reads, thousands of times a second,
  // and each KillTimer and SetTimer is a round trip to the Wine server. So a restart only moves the
  // deadline when the running timer goes off no later than it: that timer's WM_TIMER then sets one
  // for the rest of the time (TimerDue). The running timer's own time is compared, not its length:
  // a transport counting down to a fixed end asks for less each time, for the same moment.
  void SetTimer(unsigned milliseconds) override {
    milliseconds = std::min<unsigned>(milliseconds, 0x7FFFFFFF);
    const DWORD now = GetTickCount();
    deadline = now + milliseconds;
    if (timer && milliseconds != 0 && static_cast<LONG>(deadline - timerDue) >= 0) return;
    Arm(milliseconds, now);
  }

  // The timer went off: whether the deadline has come, else it is set again for the rest.
  bool TimerDue() {
    timer = 0;
    const DWORD now = GetTickCount();
    const auto left = static_cast<LONG>(deadline - now);  // wraps after 49 days, as the tick does
    if (left <= 0) return true;
    Arm(static_cast<unsigned>(left), now);
    return false;
  }

  void Arm(unsigned milliseconds, DWORD now) {
    if (timer) KillTimer(owner.window_, timer);
    timer = 0;
    timerDue = now + milliseconds;
    if (milliseconds == 0) return;
    // A fresh number each time: a WM_TIMER of the previous one may already be queued.
    if (++owner.nextTimer_ == 0) ++owner.nextTimer_;
    if (!::SetTimer(owner.window_, owner.nextTimer_, milliseconds, nullptr))
      throw PlatformError("Cannot set a timer for the connection");
    timer = owner.nextTimer_;
  }

  void Close() {
    if (socket != INVALID_SOCKET) closesocket(socket);
    socket = INVALID_SOCKET;
  }

  Win32Sockets& owner;
  SocketHandler& handler;
  const unsigned serial;
  const UINT message;
  SOCKET socket = INVALID_SOCKET;
  UINT_PTR timer = 0;
  DWORD timerDue = 0;    // GetTickCount when the running timer goes off
  DWORD deadline = 0;    // GetTickCount when OnTimer is due
  bool connecting = true;
  bool broken = false;
};

Win32Sockets::Win32Sockets(HINSTANCE instance, std::function<void(const std::exception&)> errorSink)
    : errorSink_(std::move(errorSink)) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = kWindowClass;
  RegisterClassA(&wc);  // fails harmlessly when an earlier instance registered it
  // Never shown: a top-level window that only receives messages.
  window_ = CreateWindowExA(0, kWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!window_) throw PlatformError("Cannot create the window for network events");
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Sockets::~Win32Sockets() {
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
  if (started_) WSACleanup();
}

bool Win32Sockets::Started(std::string& error) {
  if (started_) return true;
  WSADATA data;
  if (const int result = WSAStartup(MAKEWORD(1, 1), &data)) {
    error = ErrorText(result);
    return false;
  }
  started_ = true;
  return true;
}

UINT Win32Sockets::NextMessage() {
  nextMessage_ = nextMessage_ < kFirstSocketMessage || nextMessage_ >= kLastSocketMessage ? kFirstSocketMessage
                                                                                          : nextMessage_ + 1;
  return nextMessage_;
}

Win32Connection* Win32Sockets::Find(unsigned serial) {
  for (Win32Connection* connection : connections_)
    if (connection->serial == serial) return connection;
  return nullptr;
}

std::unique_ptr<Connection> Win32Sockets::Connect(const std::string& host, int port, SocketHandler& handler) {
  auto connection = std::make_unique<Win32Connection>(*this, handler, nextSerial_++, NextMessage());
  std::string error;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  if (!Started(error)) {
    PostFailure(*connection, error);
  } else if (port < 1 || port > 65535) {
    PostFailure(*connection, "Invalid port " + std::to_string(port));
  } else if (!Resolve(host, address.sin_addr)) {
    PostFailure(*connection, "Host not found");
  } else if ((connection->socket = socket(AF_INET, SOCK_STREAM, 0)) == INVALID_SOCKET) {
    PostFailure(*connection, ErrorText(WSAGetLastError()));
  } else {
    address.sin_port = htons(static_cast<u_short>(port));
    // WSAAsyncSelect makes the socket non-blocking, so connect returns at once and FD_CONNECT
    // tells the outcome.
    if (WSAAsyncSelect(connection->socket, window_, connection->message, FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE) ==
            SOCKET_ERROR ||
        (connect(connection->socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == SOCKET_ERROR &&
         WSAGetLastError() != WSAEWOULDBLOCK))
      PostFailure(*connection, ErrorText(WSAGetLastError()));
  }
  return connection;
}

void Win32Sockets::PostFailure(Win32Connection& connection, const std::string& error) {
  connection.Close();
  connection.broken = true;
  connection.connecting = false;
  Post([this, serial = connection.serial, error] {
    if (Win32Connection* found = Find(serial)) found->handler.OnConnected(error);
  });
}

// Wraps after 49.7 days, which the interface allows for: its users take differences.
std::uint32_t Win32Sockets::NowMs() { return GetTickCount(); }

void Win32Sockets::Post(std::function<void()> task) {
  tasks_.push_back(std::move(task));
  // One wake-up for any number of tasks; a failed post is retried by the next Post.
  if (!wakeupPosted_) wakeupPosted_ = PostMessageA(window_, kWakeup, 0, 0) != FALSE;
}

void Win32Sockets::RunTasks() {
  wakeupPosted_ = false;
  // Only those posted before this wake-up: one a task posts waits for the next, and a modal loop
  // inside a task may already have run some of the rest.
  for (std::size_t n = tasks_.size(); n > 0 && !tasks_.empty(); --n) {
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    Guard(errorSink_, task);
  }
}

void Win32Sockets::SocketEvent(UINT msg, WPARAM socket, LPARAM event) {
  auto found = std::find_if(connections_.begin(), connections_.end(), [&](Win32Connection* c) {
    return c->message == msg && c->socket == static_cast<SOCKET>(socket);
  });
  if (found == connections_.end()) return;
  // The handler may destroy the connection: nothing of it is touched after the call.
  Win32Connection& connection = **found;
  SocketHandler& handler = connection.handler;
  const int error = WSAGETSELECTERROR(event);
  switch (WSAGETSELECTEVENT(event)) {
    case FD_CONNECT:
      connection.connecting = false;
      if (error) {
        connection.broken = true;
        connection.Close();
      }
      Guard(errorSink_, [&] { handler.OnConnected(error ? ErrorText(error) : std::string()); });
      break;
    case FD_READ:
      Guard(errorSink_, [&] { handler.OnReadable(); });
      break;
    case FD_WRITE:
      Guard(errorSink_, [&] { handler.OnWritable(); });
      break;
    case FD_CLOSE:
      if (error) connection.broken = true;
      Guard(errorSink_, [&] { handler.OnClosed(error ? ErrorText(error) : std::string()); });
      break;
    default:
      break;
  }
}

void Win32Sockets::TimerEvent(UINT_PTR timer) {
  KillTimer(window_, timer);  // every timer fires once
  for (Win32Connection* connection : connections_) {
    if (connection->timer != timer) continue;
    SocketHandler& handler = connection->handler;
    Guard(errorSink_, [&] {
      if (connection->TimerDue()) handler.OnTimer();
    });
    return;
  }
}

LRESULT CALLBACK Win32Sockets::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (auto* self = reinterpret_cast<Win32Sockets*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) {
    if (msg == kWakeup) {
      self->RunTasks();
      return 0;
    }
    if (msg >= kFirstSocketMessage && msg <= kLastSocketMessage) {
      self->SocketEvent(msg, wParam, lParam);
      return 0;
    }
    if (msg == WM_TIMER) {
      self->TimerEvent(wParam);
      return 0;
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace sorel
