// sorel_http_server.exe --port N --root DIR: the test server serving the files of DIR until killed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/win32/http_test_server.h"

int main(int argc, char** argv) {
  int port = 0;
  std::string root;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!strcmp(argv[i], "--port")) port = atoi(argv[i + 1]);
    else if (!strcmp(argv[i], "--root")) root = argv[i + 1];
  }
  if (root.empty() || port < 0 || port > 65535 || argc % 2 == 0) {
    fprintf(stderr, "usage: sorel_http_server --port N --root DIR   (port 0: a free one)\n");
    return 2;
  }
  sorel::test::HttpTestServer server(port);
  server.ServeFiles(root);
  if (const std::string error = server.Start(); !error.empty()) {
    fprintf(stderr, "sorel_http_server: %s\n", error.c_str());
    return 1;
  }
  // The port alone on the first line, for the scripts that start it.
  printf("%d\n", server.Port());
  fflush(stdout);
  for (;;) Sleep(INFINITE);
}
