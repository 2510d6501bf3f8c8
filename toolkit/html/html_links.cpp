// Where a link of a local page leads.
#include "toolkit/html/html_links.h"

#include <vector>

namespace sorel {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsAbsolute(const std::string& path) {
  return (!path.empty() && IsSeparator(path[0])) || (path.size() > 1 && path[1] == ':');
}

// "a/./b/../c" -> "a/c"; ".." never climbs above the path's start, where it is kept.
std::string Normalise(const std::string& path, char separator) {
  std::vector<std::string> parts;
  std::string part;
  const bool rooted = !path.empty() && IsSeparator(path[0]);
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && !IsSeparator(path[i])) {
      part += path[i];
      continue;
    }
    if (part == "..") {
      if (!parts.empty() && parts.back() != ".." && parts.back().find(':') == std::string::npos) parts.pop_back();
      else if (parts.empty() || parts.back() == "..") parts.push_back(part);
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  }
  std::string out = rooted ? std::string(1, separator) : std::string();
  for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? std::string(1, separator) : "") + parts[i];
  return out;
}

}  // namespace

LinkTarget SplitPlace(const std::string& path) {
  const std::size_t hash = path.find('#');
  if (hash == std::string::npos) return LinkTarget{path, ""};
  return LinkTarget{path.substr(0, hash), path.substr(hash + 1)};
}

LinkTarget ResolveLink(const std::string& currentFile, const std::string& target) {
  LinkTarget link = SplitPlace(target);
  if (link.file.empty()) {
    link.file = currentFile;
    return link;
  }
  const bool backslashes = (link.file + currentFile).find('\\') != std::string::npos;
  const char separator = backslashes ? '\\' : '/';
  if (!IsAbsolute(link.file)) {
    const std::size_t slash = currentFile.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : currentFile.substr(0, slash + 1);
    link.file = folder + link.file;
  }
  link.file = Normalise(link.file, separator);
  return link;
}

}  // namespace sorel
