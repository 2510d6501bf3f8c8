// TCP connections over Winsock 1.1, their events delivered through a hidden window's messages.
#pragma once
#include <windows.h>

#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/sockets.h"

namespace sorel {

class Win32Connection;

// Winsock 1.1 only (wsock32.dll), as Windows 95 and NT 3.5 have it: WSAAsyncSelect posts each
// socket's notifications to a hidden top-level window (message-only windows do not exist on
// Windows 95), SetTimer drives Connection::SetTimer, PostMessage drives Post. Lives on the thread
// that runs the message loop; every connection must be destroyed before it.
class Win32Sockets : public Sockets {
 public:
  // errorSink gets every exception a handler or a posted task throws, so that none crosses the
  // window procedure (the program passes Win32Application::ShowException). Creating the window can
  // fail only when the system is out of resources: PlatformError.
  Win32Sockets(HINSTANCE instance, std::function<void(const std::exception&)> errorSink);
  ~Win32Sockets() override;
  Win32Sockets(const Win32Sockets&) = delete;
  Win32Sockets& operator=(const Win32Sockets&) = delete;

  // Resolves the name at once (a dotted address directly, otherwise gethostbyname, which blocks
  // until the resolver answers); every failure, that one included, arrives as OnConnected.
  std::unique_ptr<Connection> Connect(const std::string& host, int port, SocketHandler& handler) override;
  void Post(std::function<void()> task) override;
  // GetTickCount.
  std::uint32_t NowMs() override;

 private:
  friend class Win32Connection;
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void SocketEvent(UINT msg, WPARAM socket, LPARAM event);
  void TimerEvent(UINT_PTR timer);
  void RunTasks();
  // A connection's failure that is known before any notification can come, delivered later.
  void PostFailure(Win32Connection& connection, const std::string& error);
  bool Started(std::string& error);
  UINT NextMessage();
  Win32Connection* Find(unsigned serial);

  HWND window_ = nullptr;
  std::function<void(const std::exception&)> errorSink_;
  std::vector<Win32Connection*> connections_;  // a handful at most: looked up by walking
  std::deque<std::function<void()>> tasks_;
  bool wakeupPosted_ = false;
  bool started_ = false;
  unsigned nextSerial_ = 1;
  UINT nextMessage_ = 0;
  UINT_PTR nextTimer_ = 0;
};

}  // namespace sorel
