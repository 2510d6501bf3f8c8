// The stored layout of a dockable tool window: loading with the revision rule, saving as decimal text.
#include "toolkit/dock/toolbar_layout.h"

#include <cstdint>
#include <optional>

namespace sorel {

namespace {

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

std::string KeyPath(const std::string& base, const std::string& name) { return base + "\\" + name; }

// The value's number, or nothing when it is missing or not decimal text.
std::optional<int> ReadNumber(RegistryKey& key, const char* value) {
  if (!key.ValueExists(value)) return std::nullopt;
  return ParseDecimal(key.ReadString(value));
}

void ReadInto(RegistryKey& key, const char* value, int& field) {
  if (auto n = ReadNumber(key, value)) field = *n;
}

}  // namespace

bool ToolWindowLayout::Load(Registry& registry, const std::string& base, const std::string& name) {
  auto key = registry.Open(RegRoot::CurrentUser, KeyPath(base, name), false);
  if (!key) return false;
  // Older revisions stored another layout; their values mean nothing here.
  auto rev = ReadNumber(*key, "Rev");
  if (!rev || (*rev != 2 && *rev != 3)) return false;
  if (auto visible = ReadNumber(*key, "Visible")) Visible = *visible != 0;
  ReadInto(*key, "DockedTo", DockedTo);
  ReadInto(*key, "LastDock", LastDock);
  ReadInto(*key, "DockRow", DockRow);
  ReadInto(*key, "DockPos", DockPos);
  ReadInto(*key, "FloatLeft", FloatLeft);
  ReadInto(*key, "FloatTop", FloatTop);
  return true;
}

void ToolWindowLayout::Save(Registry& registry, const std::string& base, const std::string& name) const {
  auto key = registry.Open(RegRoot::CurrentUser, KeyPath(base, name), true);
  if (!key) return;
  key->WriteString("Rev", std::to_string(kRevision));
  key->WriteString("Visible", Visible ? "1" : "0");
  key->WriteString("DockedTo", std::to_string(DockedTo));
  key->WriteString("LastDock", std::to_string(LastDock));
  key->WriteString("DockRow", std::to_string(DockRow));
  key->WriteString("DockPos", std::to_string(DockPos));
  key->WriteString("FloatLeft", std::to_string(FloatLeft));
  key->WriteString("FloatTop", std::to_string(FloatTop));
}

}  // namespace sorel
