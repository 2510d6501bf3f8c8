// The font tree as a value (a face per installed face, a script per character set) and the
// records of which script entries the table holds.
#include "engine/font_tree.h"
#include "platform/text.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/font_inventory.h"

namespace sorel {

namespace {

// The pieces joined in one allocation: a rebuild composes three texts for every script of every face.
std::string Join(std::initializer_list<std::string_view> pieces) {
  std::size_t length = 0;
  for (std::string_view piece : pieces) length += piece.size();
  std::string text;
  text.reserve(length);
  for (std::string_view piece : pieces) text += piece;
  return text;
}

}  // namespace

std::string ScriptEntry(const std::string& face, const std::string& suffix, int charset) {
  std::string n = std::to_string(charset);
  return Join({face, " ", suffix, ",", n, "=", face, ",", n});
}

std::string WesternEntry(const std::string& face, int charset) {
  return Join({face, ",0=", face, ",", std::to_string(charset)});
}

std::string ScriptNodeText(const std::string& face, std::string_view script, int charset, bool western) {
  std::string n = std::to_string(charset);
  return Join({face, " (", script.empty() ? "Script: " : script, script.empty() ? n : "", ")",
               western ? kWesternMark : ""});
}

Check ClassifyFont(FontTreeContext& context, const IgnoreCaseIndex& table, FaceItem& face) {
  int enabled = 0, disabled = 0;
  if (!context.canEnumerate) return Check::None;
  std::unique_ptr<ScreenDC> dc = context.fonts.GetScreenDC();
  EnumFaceScripts(*dc, face.face, context.FaceScripts);
  // Several styles may name one character set differently; the first element of a number, in
  // sorted order, speaks for all of them. Walking in order, that is the first one seen. A face
  // has a handful of character sets, so a list searched from the front does.
  std::vector<std::pair<std::string, std::string_view>> firstScripts;  // ignore-case key of N, script
  for (const std::string& element : context.FaceScripts.Items()) {
    std::size_t eq = element.find('=');
    std::string n = element.substr(0, eq);
    std::string key = context.compare.IgnoreCaseKey(n);
    auto first = std::find_if(firstScripts.begin(), firstScripts.end(), [&](const auto& f) { return f.first == key; });
    if (first == firstScripts.end()) {
      firstScripts.emplace_back(std::move(key), std::string_view(element).substr(eq + 1));
      first = firstScripts.end() - 1;
    }
    const std::string_view script = first->second;
    if (n == "0") continue;  // Western requests get no script of their own
    // The inventory wrote n from a character-set number (0 to 255), so it always converts.
    const int charset = ParseIntegerText(n).value_or(0);
    TFontStruct* record = context.FontList.Add(face.face, charset, ++context.lastId);
    record->Enabled = table.Has(ScriptEntry(face.face, context.ScriptSuffixes.ValueOr(n, ""), charset));
    record->WesternMapped = table.Has(WesternEntry(face.face, charset));
    face.scripts.push_back({record->Item, ScriptNodeText(face.face, script, charset, record->WesternMapped),
                            record->Enabled ? Check::On : Check::Off});
    context.ScriptNames.Add(script.empty() ? n + "=Script: " + n : element);
    ++(record->Enabled ? enabled : disabled);
  }
  if (enabled == 0) return Check::Off;
  return disabled == 0 ? Check::On : Check::Mixed;
}

void SortScripts(TextCompare& compare, std::vector<ScriptItem>& scripts) {
  std::stable_sort(scripts.begin(), scripts.end(),
                   [&](const ScriptItem& a, const ScriptItem& b) { return compare.Compare(a.text, b.text) < 0; });
}

void BuildFontTree(FontTreeContext& context, std::vector<FaceItem>& faces) {
  // A snapshot of the table: the tree is built from the table as it is now.
  const IgnoreCaseIndex table(context.compare, context.SubstTable);
  faces.clear();
  for (const std::string& face : context.FontNames.Items()) {
    // The face is in the list before its scripts are asked for, so that a failing enumeration
    // leaves it there with the scripts read so far.
    FaceItem& item = faces.emplace_back();
    item.id = ++context.lastId;
    item.face = face;
    item.check = ClassifyFont(context, table, item);
  }
  // A face without scripts is not shown.
  std::erase_if(faces, [](const FaceItem& face) { return face.scripts.empty(); });
  for (FaceItem& face : faces) SortScripts(context.compare, face.scripts);
}

}  // namespace sorel
