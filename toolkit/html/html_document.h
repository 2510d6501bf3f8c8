// A tolerant HTML parser: whatever the text, a bounded document tree comes out.
#pragma once
#include <string_view>

namespace sorel {

struct HtmlDocument;

HtmlDocument ParseHtml(std::string_view html);

}  // namespace sorel
