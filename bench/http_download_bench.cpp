// Downloads one URL with the program's HTTP transport (THttpCli over Win32Sockets) into a file,
// for scripts/bench-http, which compares it with curl.
//   http_download_bench URL FILE
// Prints "bytes B seconds S MB/s R" (MB: 10^6 bytes), timed from the start of the request to its
// end inside the process; exits 1 when the download fails.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/errors.h"
#include "platform/win32/sockets_win32.h"
#include "toolkit/http/http_client.h"

namespace {

// Each block goes from the transport's receive buffer straight to WriteFile.
class FileStream : public sorel::ReceiveStream {
 public:
  explicit FileStream(HANDLE file) : file_(file) {}
  void Write(const char* data, std::size_t size) override {
    DWORD written = 0;
    if (!WriteFile(file_, data, static_cast<DWORD>(size), &written, nullptr) || written != size)
      throw sorel::PlatformError("Cannot write the downloaded file");
  }

 private:
  HANDLE file_;
};

}  // namespace

int main(int argc, char** argv) {
  using namespace sorel;
  if (argc != 3) {
    std::fprintf(stderr, "usage: http_download_bench URL FILE\n");
    return 2;
  }
  const HANDLE file = CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "http_download_bench: cannot create %s\n", argv[2]);
    return 1;
  }
  std::string failure;
  int result = -1;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  {
    Win32Sockets sockets(GetModuleHandleA(nullptr), [&](const std::exception& e) {
      failure = e.what();
      PostQuitMessage(1);
    });
    FileStream stream(file);
    THttpCli http(sockets);
    http.URL = argv[1];
    http.RcvdStream = &stream;
    http.OnRequestDone = [&](int error) {
      result = error;
      PostQuitMessage(0);
    };
    QueryPerformanceCounter(&start);
    http.GetASync();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    QueryPerformanceCounter(&end);
    if (failure.empty() && (result != 0 || http.StatusCode() != 200))
      failure = std::to_string(http.StatusCode()) + " " + http.ReasonPhrase();
    const double seconds =
        static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    const double bytes = static_cast<double>(http.RcvdCount());
    std::printf("bytes %.0f seconds %.3f MB/s %.1f\n", bytes, seconds, seconds > 0 ? bytes / seconds / 1e6 : 0.0);
  }
  CloseHandle(file);
  if (!failure.empty()) {
    std::fprintf(stderr, "http_download_bench: %s\n", failure.c_str());
    return 1;
  }
  return 0;
}
