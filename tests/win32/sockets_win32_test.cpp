// Win32Sockets against the test HTTP server, through this thread's real message loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/sockets_win32.h"
#include "tests/win32/http_test_server.h"
#include "tests/win32/message_pump.h"
#include "tests/win32/tinyproxy.h"

namespace sorel {
namespace {

using test::HttpTestServer;
using test::PumpFor;
using test::PumpUntil;
using test::ResponsePlan;

// Writes down every event, sends its request once connected and reads everything it is offered;
// `then` runs after each event, for tests that act inside one.
struct Recorder : SocketHandler {
  void OnConnected(const std::string& error) override {
    if (error.empty()) SendRest();
    Note("connected:" + error);
  }
  void OnReadable() override {
    Drain();
    Note("readable");
  }
  void OnWritable() override {
    SendRest();
    Note("writable");
  }
  void OnClosed(const std::string& error) override {
    Drain();
    Note("closed:" + error);
  }
  void OnTimer() override { Note("timer"); }

  void SendRest() {
    if (!connection || sent >= request.size()) return;
    const long n = connection->Send(request.data() + sent, request.size() - sent);
    if (n > 0) sent += n;
  }
  void Drain() {
    char block[8192];
    long n;
    while (connection && (n = connection->Receive(block, sizeof(block))) > 0) received.append(block, n);
    if (connection && n == 0) end = "eof";
    if (connection && n < 0 && connection->Broken()) end = "broken";
  }
  void Note(const std::string& event) {
    events.push_back(event);
    if (then) then(event);
  }
  std::string Body() const {
    const auto head = received.find("\r\n\r\n");
    return head == std::string::npos ? "" : received.substr(head + 4);
  }
  bool ClosedWithError() const {
    for (const std::string& e : events)
      if (e.rfind("closed:", 0) == 0 && e.size() > 7) return true;
    return false;
  }

  std::unique_ptr<Connection> connection;
  std::string request, received, end;
  std::size_t sent = 0;
  std::vector<std::string> events;
  std::function<void(const std::string&)> then;
};

std::string Get(const std::string& target) {
  return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
}

class Win32SocketsTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(server.Start(), ""); }
  // Connects the recorder to the server, asking for path.
  void Fetch(Recorder& recorder, const std::string& path) {
    recorder.request = Get(path);
    recorder.connection = sockets.Connect("127.0.0.1", server.Port(), recorder);
  }

  HttpTestServer server;
  std::vector<std::string> errors;
  Win32Sockets sockets{GetModuleHandleA(nullptr), [this](const std::exception& e) { errors.push_back(e.what()); }};
};

TEST_F(Win32SocketsTest, TheOutcomeOfAConnectArrivesFromTheLoop) {
  const int refusing = HttpTestServer::RefusingPort();
  ASSERT_NE(refusing, 0);
  struct Case {
    const char* name;
    std::string host;
    int port;
    std::string error;
  } cases[] = {
      {"a dotted address", "127.0.0.1", server.Port(), ""},
      {"a name of this machine", "localhost", server.Port(), ""},
      {"a port nobody listens on", "127.0.0.1", refusing, "Connection refused"},
      {"a name nobody knows", "no-such-host.invalid", 80, "Host not found"},
      {"port 0", "127.0.0.1", 0, "Invalid port 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder recorder;
    recorder.connection = sockets.Connect(c.host, c.port, recorder);
    EXPECT_TRUE(recorder.events.empty()) << "an event came from inside Connect";
    ASSERT_TRUE(PumpUntil([&] { return !recorder.events.empty(); }));
    EXPECT_EQ(recorder.events[0], "connected:" + c.error);
    EXPECT_EQ(recorder.connection->Broken(), !c.error.empty());
    if (!c.error.empty()) {
      EXPECT_EQ(recorder.connection->Send("x", 1), -1);
    }
  }
}

TEST_F(Win32SocketsTest, ReadsAWholeResponseUntilTheServerEndsIt) {
  struct Case {
    const char* name;
    ResponsePlan plan;
    std::string body;  // what arrives after the head; for a generated body see `generated`
    std::uint64_t generated;
  };
  ResponsePlan small;
  small.body = "<html>hello</html>";
  ResponsePlan large;
  large.generatedSize = 3'000'000;
  large.blockSize = 65536;
  large.framing = test::Framing::CloseDelimited;
  ResponsePlan slowChunks;
  slowChunks.body = "abcdef";
  slowChunks.blockSize = 4;
  slowChunks.blockDelayMs = 100;
  slowChunks.framing = test::Framing::Chunked;
  ResponsePlan reset;
  reset.generatedSize = 1'000'000;
  reset.resetAfter = 100'000;
  const Case cases[] = {
      {"a short body with its length", small, small.body, 0},
      {"3 MB ended by the close", large, "", large.generatedSize},
      {"chunks with pauses between them", slowChunks, "4\r\nabcd\r\n2\r\nef\r\n0\r\n\r\n", 0},
      {"a reset after 100000 bytes", reset, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = "/" + std::to_string(&c - cases);
    server.Route(path, c.plan);
    Recorder recorder;
    Fetch(recorder, path);
    ASSERT_TRUE(PumpUntil([&] { return !recorder.end.empty() || recorder.ClosedWithError(); }, 20000));
    EXPECT_EQ(server.Requests().back().requestLine, "GET " + path + " HTTP/1.1");
    const std::string body = recorder.Body();
    const bool broken = recorder.end == "broken" || recorder.ClosedWithError();
    if (c.plan.resetAfter < 0) {
      EXPECT_FALSE(broken) << testing::PrintToString(recorder.events);
    }
    if (c.generated) {
      EXPECT_EQ(body.size(), c.generated);
      EXPECT_EQ(test::Checksum(body.data(), body.size()), test::PatternChecksum(c.generated));
    } else if (c.plan.resetAfter >= 0) {
      // Windows reports the reset (the close event's error or Receive's failure); Wine 8 may
      // report an orderly close after dropping unread bytes. Either way the body ends early.
      EXPECT_LE(body.size(), static_cast<std::size_t>(c.plan.resetAfter));
    } else {
      EXPECT_EQ(body, c.body);
    }
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(Win32SocketsTest, TheTimerFiresOnceAfterTheLastSetting) {
  struct Setting {
    unsigned pauseMs;  // messages handled before it
    unsigned ms;
  };
  struct Case {
    const char* name;
    std::vector<Setting> settings;  // SetTimer calls, one after the other
    unsigned pumpMs;                // after the last
    int fires;
  } cases[] = {
      {"once, not again", {{0, 30}}, 400, 1},
      {"0 stops it", {{0, 30}, {0, 0}}, 300, 0},
      {"a new setting replaces the running one", {{0, 30}, {0, 1500}}, 400, 0},
      {"a shorter new setting", {{0, 1500}, {0, 30}}, 400, 1},
      {"restarted, it does not run out at the first deadline", {{0, 300}, {200, 300}}, 220, 0},
      {"restarted, it runs out counted from the restart", {{0, 300}, {200, 300}}, 500, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Recorder recorder;
    Fetch(recorder, "/idle");
    for (const Setting& setting : c.settings) {
      PumpFor(setting.pauseMs);
      recorder.connection->SetTimer(setting.ms);
    }
    PumpFor(c.pumpMs);
    EXPECT_EQ(std::count(recorder.events.begin(), recorder.events.end(), "timer"), c.fires);
  }
}

TEST_F(Win32SocketsTest, EventsQueuedForAConnectionDestroyedInItsOwnEventAreDropped) {
  ResponsePlan page;
  page.body = std::string(1000, 'x');
  server.Route("/page", page);
  for (const bool destroy : {false, true}) {
    SCOPED_TRACE(destroy ? "destroyed in its first event after the connect" : "kept");
    Recorder recorder;
    Fetch(recorder, "/page");
    ASSERT_TRUE(PumpUntil([&] { return !recorder.events.empty(); }));
    // The response and the close arrive while nobody handles messages: their events queue up.
    Sleep(500);
    bool acted = false, taskRanInsideTheEvent = false;
    recorder.then = [&](const std::string&) {
      if (!destroy || acted) return;
      acted = true;
      recorder.connection.reset();
      sockets.Post([&] { recorder.events.push_back("task"); });
      taskRanInsideTheEvent = recorder.events.back() == "task";
    };
    PumpFor(500);
    EXPECT_FALSE(taskRanInsideTheEvent);
    if (destroy) {
      ASSERT_EQ(recorder.events.size(), 3u);  // connected, one more event, the task
      EXPECT_EQ(recorder.events[2], "task");
    } else {
      EXPECT_NE(std::find(recorder.events.begin(), recorder.events.end(), "closed:"), recorder.events.end());
      EXPECT_EQ(recorder.Body(), page.body);
    }
  }
}

TEST_F(Win32SocketsTest, TasksRunLaterInOrderAndErrorsGoToTheSink) {
  std::vector<std::string> ran;
  sockets.Post([&] {
    ran.push_back("a");
    sockets.Post([&] { ran.push_back("c"); });  // after those already waiting
  });
  sockets.Post([&] { throw std::runtime_error("task failed"); });
  sockets.Post([&] { ran.push_back("b"); });
  EXPECT_TRUE(ran.empty()) << "a task ran inside Post";
  PumpUntil([&] { return ran.size() == 3; }, 2000);
  EXPECT_EQ(ran, (std::vector<std::string>{"a", "b", "c"}));

  Recorder recorder;
  recorder.then = [](const std::string&) { throw std::runtime_error("handler failed"); };
  recorder.connection = sockets.Connect("127.0.0.1", HttpTestServer::RefusingPort(), recorder);
  PumpUntil([&] { return errors.size() == 2; }, 5000);
  EXPECT_EQ(errors, (std::vector<std::string>{"task failed", "handler failed"}));
}

// tinyproxy forwards what it is asked to the test server; the log and the server both show it.
TEST_F(Win32SocketsTest, ReachesTheServerThroughTinyproxy) {
  const test::Tinyproxy proxy = test::TinyproxyOfThisRun();
  ASSERT_EQ(proxy.error, "");
  ResponsePlan page;
  page.body = "through the proxy";
  server.Route("/proxied", page);
  Recorder recorder;
  recorder.request = Get(server.Url("/proxied"));
  recorder.connection = sockets.Connect("127.0.0.1", proxy.port, recorder);
  ASSERT_TRUE(PumpUntil([&] { return !recorder.end.empty(); }, 20000));
  EXPECT_EQ(recorder.Body(), page.body);
  ASSERT_FALSE(server.Requests().empty());
  EXPECT_NE(server.Requests().back().Header("Via").find("tinyproxy"), std::string::npos);
  EXPECT_NE(proxy.Log().find(server.Url("/proxied")), std::string::npos);
}

}  // namespace
}  // namespace sorel
