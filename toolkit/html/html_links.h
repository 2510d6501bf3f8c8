// Where a link of a local page leads: "#place" stays on the page, "./other.htm#place" and
// "sub/other.htm" are read against the folder of the page shown.
#pragma once
#include <string>

namespace sorel {

struct LinkTarget {
  std::string file;   // the page to show; the current one for a place on the same page
  std::string place;  // the named place, without "#"; "" for the top
};

// currentFile is the page shown, as it was loaded; the result uses backslashes where either path
// has one, else slashes.
LinkTarget ResolveLink(const std::string& currentFile, const std::string& target);

// Splits "page.htm#place" into the file and the place.
LinkTarget SplitPlace(const std::string& path);

}  // namespace sorel
