// Sample sets: the "Samplez" sections of the language file and the sample of a character set.
#include "preview/sample_sets.h"

namespace sorel {

namespace {

constexpr const char* kPrefix = "Samplez";
constexpr std::size_t kPrefixLength = 7;
constexpr std::size_t kCaptionLength = 100;

}  // namespace

SampleSets ListSampleSets(ProfileFiles& profiles, const std::string& file, const std::string& chosenName) {
  SampleSets sets;
  for (const std::string& section : profiles.SectionNames(file)) {
    if (section.compare(0, kPrefixLength, kPrefix) != 0) continue;
    // The eighth character separates the prefix from the name and is never shown.
    SampleSetItem item;
    item.caption = section.size() > kPrefixLength + 1 ? section.substr(kPrefixLength + 1, kCaptionLength) : "";
    item.section = section;
    item.tag = static_cast<int>(sets.items.size());
    if (item.caption == chosenName) {
      item.checked = true;
      sets.chosenSection = section;
    }
    sets.items.push_back(item);
  }
  if (sets.chosenSection.empty() && !sets.items.empty()) {
    sets.items.front().checked = true;
    sets.chosenSection = sets.items.front().section;
  }
  return sets;
}

std::string SampleFor(const KeyValueList& sampleTexts, int charset) {
  std::string sample = sampleTexts.ValueOr(std::to_string(charset), "");
  return sample.empty() ? sampleTexts.ValueOr("0", "") : sample;
}

}  // namespace sorel
