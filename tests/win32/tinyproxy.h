// The tinyproxy that scripts/test-wine starts for a run of the Win32 tests, as the tests find it.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <string>

namespace sorel::test {

struct Tinyproxy {
  int port = 0;
  std::string logPath;  // a Windows path (through drive Z:)
  std::string error;    // why there is none: a test that needs it fails with this

  // The log so far.
  std::string Log() const {
    std::string text;
    HANDLE file = CreateFileA(logPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char block[4096];
    DWORD got = 0;
    while (ReadFile(file, block, sizeof(block), &got, nullptr) && got > 0) text.append(block, got);
    CloseHandle(file);
    return text;
  }
};

// Wine cannot stop or wait for a Unix program it starts, so the run's script owns tinyproxy and
// names it in SOREL_TINYPROXY_PORT and SOREL_TINYPROXY_LOG.
inline Tinyproxy TinyproxyOfThisRun() {
  Tinyproxy proxy;
  const char* port = getenv("SOREL_TINYPROXY_PORT");
  const char* log = getenv("SOREL_TINYPROXY_LOG");
  proxy.port = port ? atoi(port) : 0;
  proxy.logPath = log ? log : "";
  if (proxy.port <= 0 || proxy.logPath.empty())
    proxy.error = "SOREL_TINYPROXY_PORT and SOREL_TINYPROXY_LOG are not set: run the Win32 tests through "
                  "scripts/test-wine (make test-win64), which starts tinyproxy for them";
  return proxy;
}

}  // namespace sorel::test
