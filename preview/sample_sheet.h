// The sample sheet: a heading and the sample text in nine sizes, each with a caption naming its
// size, built from labels in a scroll box; and the test of which styles a face offers.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/sorted_text_list.h"
#include "ui/controls.h"
#include "platform/fonts.h"

namespace sorel {

// The sizes of the sheet and of its printout, in points, in order.
inline constexpr int kPointSizes[] = {8, 10, 12, 16, 24, 32, 48, 64, 72};

// The four flags every refresh captures from the bold and italic buttons. Bold and italic are
// never combined: bold wins.
struct ActiveStyle {
  bool boldAvailable = false, italicAvailable = false, boldDown = false, italicDown = false;
  bool Bold() const { return boldAvailable && boldDown; }
  bool Italic() const { return !Bold() && italicAvailable && italicDown; }
};

// What a sheet shows: the same values head the printed page.
struct SheetContent {
  std::string sample, face;
  std::uint8_t charset = 0;
  std::string heading;
  ActiveStyle style;
  // The fonts of the heading, of a sample of the given size and of a size caption.
  FontSpec HeadingFont() const;
  FontSpec SampleFont(int points) const;
  FontSpec CaptionFont() const;
};

// The words "Bold", "Italic" and "BoldItalic", one for each font of the face in the character
// set that has those flags; fonts that are neither add nothing.
std::vector<std::string> StyleAvailability(Fonts& fonts, const std::string& face, int charset);
// Whether words holds word as a whole, letter case ignored ("BoldItalic" is neither).
bool HasStyleWord(const std::vector<std::string>& words, const std::string& word);

// The face name, followed by " (" script ")" when scriptNames knows the character set.
std::string HeadingText(const SortedTextList& scriptNames, const std::string& face, int charset);

// The caption under a sample: the size and " pt " with its trailing blank.
std::string SizeCaption(int points);

// The sheet's labels, owned on behalf of the scroll box they stand in.
using SheetLabels = std::vector<std::unique_ptr<Label>>;

// Replaces the sheet in box: the old labels go, the scroll position goes back to the origin, and
// the 19 new labels are placed from the top with the scroll range computed once at the end.
void BuildSheet(Ui& ui, ScrollBox& box, SheetLabels& labels, const SheetContent& content);

// The sheet-building job: its body runs on the user-interface thread, so the sheet is complete
// when Execute returns and no later refresh meets a job still working.
class TPaintThread {
 public:
  TPaintThread(Ui& ui, ScrollBox& target, SheetLabels& labels, SheetContent content)
      : ui_(ui), target_(target), labels_(labels), content_(std::move(content)) {}
  void Execute();

 private:
  Ui& ui_;
  ScrollBox& target_;
  SheetLabels& labels_;
  SheetContent content_;
};

}  // namespace sorel
