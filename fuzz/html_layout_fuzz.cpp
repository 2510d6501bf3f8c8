// Fuzz target: parse and lay out arbitrary bytes with the fake metric of the tests. The first
// two bytes choose the width (0 to 2047 pixels), the rest is the page. The page must come out
// consistent: links index the link list, a line start only on text, no negative size, and the
// extent covering every item. Any breach aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "tests/support/html_fakes.h"

namespace {

using namespace sorel;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "page broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  LayoutOptions options;
  options.width = (data[0] | data[1] << 8) & 2047;
  FakeTextMetrics metrics;
  FakeImageSizes images;
  images.sizes["a.gif"] = {32, 16};
  images.sizes["big.bmp"] = {5000, 3};
  const HtmlDocument doc = ParseHtml(std::string_view(reinterpret_cast<const char*>(data) + 2, size - 2));
  const LaidOutPage page = LayoutHtml(doc, options, metrics, images);
  for (const DrawItem& item : page.items) {
    if (item.link < -1 || item.link >= static_cast<int>(page.links.size())) Fail("link index");
    if (item.lineStart && item.kind != DrawItem::Kind::Text) Fail("line start on no text");
    if (item.box.width < 0 || item.box.height < 0) Fail("negative size");
    if (item.box.x + item.box.width > page.width || item.box.y + item.box.height > page.height) Fail("extent");
    if (item.kind == DrawItem::Kind::Text && item.text.empty()) Fail("empty text");
  }
  return 0;
}
