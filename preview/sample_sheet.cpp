// The sample sheet built from labels in a scroll box, and the style test of a face.
#include "preview/sample_sheet.h"
#include "platform/text.h"

#include <algorithm>

namespace sorel {

namespace {

constexpr int kLeft = 10, kHeadingTop = 6, kFirstRow = 28, kSampleGap = 2;

// A label of the sheet: placed at the left edge, sized to its text, ampersands as they stand.
Label& AddLabel(Ui& ui, ScrollBox& box, SheetLabels& labels, const FontSpec& font, bool transparent,
                const std::string& text, int top) {
  labels.push_back(ui.CreateLabel(box, ""));  // sheet labels have no names of their own
  Label& label = *labels.back();
  label.SetFitToText(true);
  label.SetTransparent(transparent);
  label.SetFont(font);
  label.SetCaption(text);
  Rect r = label.Bounds();
  r.left = kLeft;
  r.top = top;
  label.SetBounds(r);
  return label;
}

}  // namespace

FontSpec SheetContent::HeadingFont() const { return FontSpec{face, charset, 12, style.Bold(), style.Italic(), true}; }

FontSpec SheetContent::SampleFont(int points) const { return FontSpec{face, charset, points, style.Bold(), style.Italic(), false}; }

FontSpec SheetContent::CaptionFont() const { return FontSpec{face, charset, 8, false, false, false}; }

std::vector<std::string> StyleAvailability(Fonts& fonts, const std::string& face, int charset) {
  std::vector<std::string> words;
  std::unique_ptr<ScreenDC> dc = fonts.GetScreenDC();  // released on every path
  dc->ForEachFaceStyle(face, charset, [&](const FaceStyle& style) {
    if (style.bold && style.italic) {
      words.push_back("BoldItalic");
    } else if (style.italic) {
      words.push_back("Italic");
    } else if (style.bold) {
      words.push_back("Bold");
    }
  });
  return words;
}

bool HasStyleWord(const std::vector<std::string>& words, const std::string& word) {
  return std::any_of(words.begin(), words.end(), [&](const std::string& w) { return AsciiEqualIgnoreCase(w, word); });
}

std::string HeadingText(const SortedTextList& scriptNames, const std::string& face, int charset) {
  const std::string n = std::to_string(charset);
  if (scriptNames.IndexOfName(n) < 0) return face;
  return face + " (" + scriptNames.Value(n) + ")";
}

std::string SizeCaption(int points) { return std::to_string(points) + " pt "; }

void BuildSheet(Ui& ui, ScrollBox& box, SheetLabels& labels, const SheetContent& content) {
  box.SuspendRange();
  struct ResumeAtEnd {  // also when a label cannot be made: the box must not stay suspended
    ScrollBox& box;
    ~ResumeAtEnd() { box.ResumeRange(); }
  } resume{box};
  labels.clear();
  box.SetScrollPosition(0, 0);
  int y = kFirstRow;
  y += AddLabel(ui, box, labels, content.HeadingFont(), false, content.heading, kHeadingTop).Bounds().height;
  for (int points : kPointSizes) {
    y += AddLabel(ui, box, labels, content.SampleFont(points), true, content.sample, y).Bounds().height + kSampleGap;
    y += AddLabel(ui, box, labels, content.CaptionFont(), false, SizeCaption(points), y).Bounds().height;
  }
}

void TPaintThread::Execute() { BuildSheet(ui_, target_, labels_, content_); }

}  // namespace sorel
