// The program's own settings in the registry: the names, the types and what a missing value reads as.
#include "app/settings.h"

#include <cstdint>
#include <string_view>

#include "platform/errors.h"

namespace sorel {

namespace {

static_assert(std::string_view(Settings::kProgramKey).back() == '\\', "the paths below rely on the backslash");

const std::string kMainWndKey = std::string(Settings::kProgramKey) + "MainWnd";
const std::string kPrevWndKey = std::string(Settings::kProgramKey) + "PrevWnd";

// Layout revisions: the one written, and the oldest still read (older ones stored another layout,
// whose values mean nothing here).
constexpr int kLayoutRevision = 3;
constexpr int kOldestLayoutRevision = 2;

// A tool window's layout key: the program key spelt without its trailing backslash, then "\\" and
// the tool window's name.
std::string LayoutKey(const std::string& name) {
  const std::string_view program(Settings::kProgramKey);
  return std::string(program.substr(0, program.size() - 1)) + "\\" + name;
}

// A text value, or nothing when it is absent or stored with a type other than text: such a value
// counts as missing, so that the program's next write replaces it instead of the read failing at
// every start. Other read errors propagate.
std::optional<std::string> ReadText(RegistryKey& key, const std::string& name) {
  if (!key.ValueExists(name)) return std::nullopt;
  try {
    return key.ReadString(name);
  } catch (const PlatformError& e) {
    if (e.what() != InvalidDataTypeMessage(name)) throw;
    return std::nullopt;
  }
}

// Reads the REG_DWORD values into the fields, in order, until one raises an error (see
// StoredPlacement); absent values leave their fields empty.
StoredPlacement ReadPlacement(RegistryKey& key,
                              std::initializer_list<std::pair<const char*, std::optional<int> StoredPlacement::*>> values) {
  StoredPlacement placement;
  try {
    for (const auto& [name, field] : values)
      if (key.ValueExists(name)) placement.*field = key.ReadInteger(name);
  } catch (...) {
    placement.error = std::current_exception();
  }
  return placement;
}

// Decimal text as the layout writes it: leading blanks, an optional sign, digits, nothing else,
// within 32 bits. Anything else gives nothing and the caller keeps its value.
std::optional<int> ParseDecimal(const std::string& text) {
  std::size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) return std::nullopt;
  const bool negative = text[i] == '-';
  if (text[i] == '-' || text[i] == '+') ++i;
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > std::int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<int>(value);
}

// The value's number, or nothing when it is missing or not decimal text.
std::optional<int> ReadNumber(RegistryKey& key, const char* value) {
  if (!key.ValueExists(value)) return std::nullopt;
  return ParseDecimal(key.ReadString(value));
}

void ReadInto(RegistryKey& key, const char* value, int& field) {
  if (auto n = ReadNumber(key, value)) field = *n;
}

// Applies nothing and returns false when the key does not open or "Rev" is not a revision read.
bool LoadLayout(Registry& registry, const std::string& name, ToolWindowLayout& layout) {
  auto key = registry.Open(RegRoot::CurrentUser, LayoutKey(name), false);
  if (!key) return false;
  auto rev = ReadNumber(*key, "Rev");
  if (!rev || *rev < kOldestLayoutRevision || *rev > kLayoutRevision) return false;
  if (auto visible = ReadNumber(*key, "Visible")) layout.Visible = *visible != 0;
  ReadInto(*key, "DockedTo", layout.DockedTo);
  ReadInto(*key, "LastDock", layout.LastDock);
  ReadInto(*key, "DockRow", layout.DockRow);
  ReadInto(*key, "DockPos", layout.DockPos);
  ReadInto(*key, "FloatLeft", layout.FloatLeft);
  ReadInto(*key, "FloatTop", layout.FloatTop);
  return true;
}

void SaveLayout(Registry& registry, const std::string& name, const ToolWindowLayout& layout) {
  auto key = registry.Open(RegRoot::CurrentUser, LayoutKey(name), true);
  if (!key) return;
  key->WriteString("Rev", std::to_string(kLayoutRevision));
  key->WriteString("Visible", layout.Visible ? "1" : "0");
  key->WriteString("DockedTo", std::to_string(layout.DockedTo));
  key->WriteString("LastDock", std::to_string(layout.LastDock));
  key->WriteString("DockRow", std::to_string(layout.DockRow));
  key->WriteString("DockPos", std::to_string(layout.DockPos));
  key->WriteString("FloatLeft", std::to_string(layout.FloatLeft));
  key->WriteString("FloatTop", std::to_string(layout.FloatTop));
}

}  // namespace

bool Settings::Available() { return registry_.Open(RegRoot::CurrentUser, kProgramKey, true) != nullptr; }

std::optional<std::string> Settings::AppPath() {
  auto key = registry_.Open(RegRoot::CurrentUser, kProgramKey, true);
  return key ? ReadText(*key, "AppPath") : std::nullopt;
}

void Settings::KeepAppPath(const std::string& exePath) {
  auto key = registry_.Open(RegRoot::CurrentUser, kProgramKey, true);
  if (!key || ReadText(*key, "AppPath") == exePath) return;
  key->WriteString("AppPath", exePath);
}

std::optional<std::string> Settings::Language() {
  auto key = registry_.Open(RegRoot::CurrentUser, kProgramKey, true);
  return key ? ReadText(*key, "Language") : std::nullopt;
}

void Settings::SetLanguage(const std::string& section) {
  if (auto key = registry_.Open(RegRoot::CurrentUser, kProgramKey, true)) key->WriteString("Language", section);
}

std::string Settings::SampleSet() {
  auto key = registry_.Open(RegRoot::CurrentUser, kProgramKey, true);
  return key ? key->ReadString("SampleSet1") : "";
}

bool Settings::SetSampleSet(const std::string& caption) {
  auto key = registry_.Open(RegRoot::CurrentUser, kProgramKey, true);
  if (!key) return false;
  key->WriteString("SampleSet1", caption);
  return true;
}

std::optional<StoredPlacement> Settings::MainPlacement() {
  auto key = registry_.Open(RegRoot::CurrentUser, kMainWndKey, false);
  if (!key) return std::nullopt;
  return ReadPlacement(*key, {{"L", &StoredPlacement::left}, {"T", &StoredPlacement::top}});
}

std::optional<bool> Settings::PreviewShown() {
  auto key = registry_.Open(RegRoot::CurrentUser, kMainWndKey, false);
  if (!key || !key->ValueExists("P")) return std::nullopt;
  return key->ReadInteger("P") != 0;
}

void Settings::SaveMainPlacement(Point topLeft, bool previewShown) {
  auto key = registry_.Open(RegRoot::CurrentUser, kMainWndKey, true);
  if (!key) return;
  key->WriteInteger("L", topLeft.x);
  key->WriteInteger("T", topLeft.y);
  key->WriteInteger("P", previewShown ? 1 : 0);
}

std::optional<StoredPlacement> Settings::PreviewPlacement() {
  auto key = registry_.Open(RegRoot::CurrentUser, kPrevWndKey, false);
  if (!key) return std::nullopt;
  return ReadPlacement(*key, {{"W", &StoredPlacement::width},
                              {"H", &StoredPlacement::height},
                              {"L", &StoredPlacement::left},
                              {"T", &StoredPlacement::top}});
}

void Settings::SavePreviewPlacement(const Rect& bounds) {
  auto key = registry_.Open(RegRoot::CurrentUser, kPrevWndKey, true);
  if (!key) return;
  key->WriteInteger("W", bounds.width);
  key->WriteInteger("H", bounds.height);
  key->WriteInteger("L", bounds.left);
  key->WriteInteger("T", bounds.top);
}

DockLayout Settings::ToolWindowLayouts(const DockLayout& current) {
  DockLayout loaded;
  for (NamedToolWindowLayout bar : current)
    if (LoadLayout(registry_, bar.name, bar.layout)) loaded.push_back(bar);
  return loaded;
}

void Settings::SaveToolWindowLayouts(const DockLayout& layout) {
  for (const NamedToolWindowLayout& bar : layout) SaveLayout(registry_, bar.name, bar.layout);
}

}  // namespace sorel
