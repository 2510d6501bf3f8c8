// Fuzz target: THttpCli as a whole over the in-memory sockets. The input plays the server: its
// response bytes, how they are split into reads, how long it waits before each read (so that the
// stall timer and the deadline fire anywhere), maybe a redirection hop, and what the user does
// meanwhile. Oracles, any breach aborts:
// - every request ends with exactly one OnRequestDone, and none comes for a destroyed object;
//   only a silent server with neither limit set may keep a request waiting;
// - no connection stays open once its request has ended;
// - same bytes, same outcome: when neither run fired a timer and the user did nothing, the run
//   with the input's splits and waits ends exactly as the one that gets each response in one read
//   (error, status, reason, body written, counts, requests sent, exceptions raised).
//
// Input: byte 0, options: bits 0-1 how the server ends (close, reset, silence, close), bit 2 a
// redirection hop (the response bytes are cut at the first "~~~": the first connection gets what
// comes before, every later one what comes after), bit 3 a stream that holds 64 bytes, bit 4 the
// request taken a byte per Send, bits 5-7 what the user does (see Act). Byte 1: TimeoutMs / 100,
// byte 2: DeadlineMs / 100 (0: none). Byte 3: the loop turn or OnDocData call the user acts at.
// Then a count (mod 16) and that many read sizes, each (mod 64) + 1, used in turn; a count (mod
// 16) and that many waits before each read, each times 50 ms, used in turn. The rest: the bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tests/fakes/memory_sockets.h"
#include "toolkit/http/http_client.h"

namespace {

using namespace sorel;
using Peer = MemorySockets::Peer;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "http client broken: %s\n", what);
  std::abort();
}

enum class Act { Nothing, Abort, AskAgain, Destroy, DocDataThrows, DocDataAborts, DoneAsksAgain, Nothing2 };

struct Script {
  Peer::End end = Peer::End::Close;
  bool hop = false, smallStream = false, slowRequest = false;
  Act act = Act::Nothing;
  unsigned timeoutMs = 0, deadlineMs = 0;
  unsigned at = 0;
  std::vector<std::size_t> sizes;
  std::vector<std::uint64_t> waits;
  std::string first, later;  // the responses of the first and of every later connection
};

struct Outcome {
  std::string verdict;  // how each request ended, the requests sent, the exceptions raised
  std::string body;     // what was written, and the counts: as the verdict, unless a stream
                        // failed, when it depends on where the reads put the limit
  int exceptions = 0;
  int timers = 0;
  bool hung = false;  // a request still waits, which only a silent server with no limit allows
};

Peer MakePeer(const Script& s, const std::string& bytes, bool whole) {
  Peer peer;
  peer.end = s.end;
  peer.takePerSend = s.slowRequest ? 1 : 0;
  if (whole) {
    if (!bytes.empty()) peer.blocks.push_back(bytes);
    return peer;
  }
  for (std::size_t at = 0, turn = 0; at < bytes.size(); ++turn) {
    const std::size_t n = s.sizes.empty() ? bytes.size() : s.sizes[turn % s.sizes.size()];
    peer.blocks.push_back(bytes.substr(at, n));
    at += n;
  }
  for (std::size_t i = 0; !s.waits.empty() && i <= peer.blocks.size(); ++i) peer.waitMs.push_back(s.waits[i % s.waits.size()]);
  return peer;
}

Outcome Run(const Script& s, bool whole) {
  MemorySockets net;
  for (const char* host : {"a", "b"}) {
    net.AddPeer(host, 80, MakePeer(s, host[0] == 'a' ? s.first : s.later, whole));
    net.AddPeer(host, 80, MakePeer(s, s.later, whole));
  }
  MemoryReceiveStream stream(s.smallStream ? 64 : 1 << 20);
  auto http = std::make_unique<THttpCli>(net);
  const Act act = whole ? Act::Nothing : s.act;
  int asked = 1, dones = 0, exceptions = 0, docData = 0;
  bool destroyed = false;
  std::string ends, counts;
  http->URL = "http://a/";
  http->TimeoutMs = s.timeoutMs;
  http->DeadlineMs = s.deadlineMs;
  http->RcvdStream = &stream;
  http->OnDocData = [&] {
    if (http->RcvdCount() > static_cast<std::int64_t>(stream.bytes.size())) Fail("counted more than was written");
    if (++docData != static_cast<int>(s.at % 8) + 1) return;
    if (act == Act::DocDataAborts) http->Abort();
    if (act == Act::DocDataThrows || act == Act::DocDataAborts) throw std::runtime_error("The handler failed");
  };
  http->OnRequestDone = [&](int error) {
    if (destroyed) Fail("OnRequestDone after the object was destroyed");
    if (++dones > asked) Fail("more OnRequestDone than requests");
    if (error == 0 && http->StatusCode() < 100) Fail("a complete response without a status");
    if (error != 0 && http->StatusCode() != 404) Fail("a failure whose status is not 404");
    ends += std::to_string(error) + " " + std::to_string(http->StatusCode()) + " " + http->ReasonPhrase() + " " +
            std::to_string(http->ContentLength()) + "\n";
    counts += std::to_string(http->RcvdCount()) + " ";
    if (act == Act::DoneAsksAgain && asked == 1) {
      ++asked;
      http->GetASync();
    }
  };
  http->GetASync();
  if (dones != 0) Fail("OnRequestDone from inside GetASync");
  for (unsigned turn = 0;; ++turn) {
    if (turn > 200000) Fail("the events never end");
    if (turn == s.at && !destroyed) {
      const int before = dones;
      if (act == Act::Abort) http->Abort();
      if (act == Act::AskAgain) {
        ++asked;
        http->GetASync();
      }
      if (act == Act::Destroy) {
        http.reset();
        destroyed = true;
      }
      if (dones != before) Fail("OnRequestDone from inside Abort or GetASync");
    }
    try {
      if (!net.RunNext()) break;
    } catch (const std::exception&) {
      ++exceptions;
    }
  }
  Outcome out;
  out.timers = net.TimersFired();
  bool open = false;
  for (const auto& c : net.Connections()) open = open || c.open;
  if (!destroyed && dones < asked) {
    // Only a server that says nothing more, to a request without a limit, may keep it waiting.
    out.hung = true;
    if (s.end != Peer::End::Silent || s.timeoutMs || s.deadlineMs || !open) Fail("a request that never ended");
  } else if (open) {
    Fail("a connection left open after its request ended");
  }
  if (destroyed && dones > 1) Fail("more OnRequestDone than requests");
  out.exceptions = exceptions;
  out.verdict = ends + "|" + std::to_string(exceptions) + "|";
  for (const auto& c : net.Connections()) out.verdict += c.host + ":" + std::to_string(c.port) + " " + c.sent.substr(0, c.sent.find('\r')) + "\n";
  out.body = counts + "|" + stream.bytes;
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  if (in.size() < 4) return 0;
  Script s;
  const auto options = static_cast<unsigned char>(in[0]);
  s.end = (options & 3) == 1 ? Peer::End::Reset : (options & 3) == 2 ? Peer::End::Silent : Peer::End::Close;
  s.hop = options & 4;
  s.smallStream = options & 8;
  s.slowRequest = options & 16;
  s.act = static_cast<Act>(options >> 5);
  s.timeoutMs = static_cast<unsigned char>(in[1]) * 100u;
  s.deadlineMs = static_cast<unsigned char>(in[2]) * 100u;
  s.at = static_cast<unsigned char>(in[3]);
  in.remove_prefix(4);
  const auto take = [&](auto each) {
    if (in.empty()) return;
    std::size_t count = static_cast<unsigned char>(in[0]) % 16;
    in.remove_prefix(1);
    for (; count > 0 && !in.empty(); --count) {
      each(static_cast<unsigned char>(in[0]));
      in.remove_prefix(1);
    }
  };
  take([&](unsigned b) { s.sizes.push_back(b % 64 + 1); });
  take([&](unsigned b) { s.waits.push_back(b * 50ull); });
  const std::size_t cut = s.hop ? in.find("~~~") : std::string_view::npos;
  s.first = std::string(in.substr(0, cut));
  s.later = cut == std::string_view::npos ? s.first : std::string(in.substr(cut + 3));

  const Outcome whole = Run(s, true);
  const Outcome split = Run(s, false);
  const bool quiet = s.act == Act::Nothing || s.act == Act::Nothing2;
  if (quiet && whole.timers == 0 && split.timers == 0 && !whole.hung && !split.hung &&
      (whole.verdict != split.verdict || (whole.exceptions == 0 && whole.body != split.body))) {
    std::fprintf(stderr, "whole:\n%s\n%s\nsplit:\n%s\n%s\n", whole.verdict.c_str(), whole.body.c_str(),
                 split.verdict.c_str(), split.body.c_str());
    Fail("the outcome depends on how the reads fall");
  }
  return 0;
}
