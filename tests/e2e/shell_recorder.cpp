// Stands in for the browser, the mail program and the editor in the end-to-end tests: the shell
// starts it with the target, and it adds the target as a line to shell-opened.txt beside itself.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string log = self;
  log = log.substr(0, log.find_last_of('\\') + 1) + "shell-opened.txt";
  if (FILE* out = std::fopen(log.c_str(), "ab")) {
    std::fprintf(out, "%s\n", argc > 1 ? argv[1] : "");
    std::fclose(out);
  }
  return 0;
}
