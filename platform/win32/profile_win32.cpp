// Profile (ini) files through GetPrivateProfileStringA.
#include "platform/win32/profile_win32.h"

#include <windows.h>

namespace sorel {

namespace {

// A cut list may end without its second zero, so the buffer starts zeroed and the walk stays
// inside it.
std::vector<std::string> ReadList(const char* section, const std::string& file) {
  std::vector<char> buffer(kProfileListBuffer, '\0');
  GetPrivateProfileStringA(section, nullptr, "", buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
  std::vector<std::string> names;
  std::size_t pos = 0;
  while (pos < buffer.size() && buffer[pos] != '\0') {
    std::size_t end = pos;
    while (end < buffer.size() && buffer[end] != '\0') ++end;
    names.emplace_back(buffer.data() + pos, end - pos);
    pos = end + 1;
  }
  return names;
}

}  // namespace

std::vector<std::string> Win32ProfileFiles::SectionNames(const std::string& file) { return ReadList(nullptr, file); }

std::vector<std::string> Win32ProfileFiles::SectionKeys(const std::string& file, const std::string& section) {
  return ReadList(section.c_str(), file);
}

std::vector<std::string> Win32ProfileFiles::SectionLines(const std::string& file, const std::string& section) {
  // The function answers size - 2 when the section did not fit; then it is asked again with room
  // to spare.
  std::vector<char> buffer(kProfileListBuffer, '\0');
  DWORD length = 0;
  for (;;) {
    length = GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    if (length + 2 < buffer.size()) break;
    buffer.assign(buffer.size() * 2, '\0');
  }
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < length) {
    std::size_t end = pos;
    while (end < length && buffer[end] != '\0') ++end;
    lines.emplace_back(buffer.data() + pos, end - pos);
    pos = end + 1;
  }
  return lines;
}

std::string Win32ProfileFiles::ReadString(const std::string& file, const std::string& section,
                                          const std::string& key, const std::string& def) {
  char buffer[kProfileValueBuffer] = {};
  GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer, sizeof(buffer), file.c_str());
  return buffer;
}

}  // namespace sorel
