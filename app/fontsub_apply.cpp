// The main window's save of the user's choices to the system, the restart offer, and the restore that discards them.
#include <string>
#include <vector>

#include "app/fontsub.h"
#include "engine/font_tree.h"
#include "engine/restart_system.h"

namespace sorel {

namespace {

// The character set of the fixed entries when no language has given one.
constexpr const char* kBuiltInDefLangVal = "238";

// The fixed Helvetica, Times and Courier entries, in the order they end the table.
std::vector<std::string> FixedEntries(const std::string& v) {
  return {"Helvetica," + v + "=Arial," + v,      "Helvetica,0=Arial," + v,
          "Times," + v + "=Times New Roman," + v, "Times,0=Times New Roman," + v,
          "Courier," + v + "=Courier New," + v,   "Courier,0=Courier New," + v};
}

}  // namespace

void TForm1::ApplyChanges() {
  TableEditor table(p_.compare, SubstTable);
  if (Modified) {
    for (int i = 0; i < FontList.Count(); ++i) {
      const TFontStruct& record = *FontList.Item(i);
      const std::string n = std::to_string(record.Charset);
      const std::string script = ScriptEntry(record.FaceName, ScriptSuffixes.ValueOr(n, ""), record.Charset);
      const std::string western = WesternEntry(record.FaceName, record.Charset);
      if (record.Enabled) {
        table.Add(script);
      } else {
        table.Remove(script);
      }
      if (record.WesternMapped) {
        table.Add(western);
      } else {
        table.Remove(western);
      }
    }
  }
  // Removed first, then added, so that the six end the table in their order whatever it held.
  const std::vector<std::string> fixed =
      FixedEntries(Texts.DefLangVal.empty() ? kBuiltInDefLangVal : Texts.DefLangVal);
  for (const std::string& entry : fixed) table.Remove(entry);
  for (const std::string& entry : fixed) table.Add(entry);
  table.Commit();

  WriteTable();
  WriteNlsMapping();
  if (p_.dialogs.MessageBox(UiText("WSRestartText"), UiText("WSRestartTitle"), Mb::YesNo | Mb::IconQuestion) ==
      Answer::Yes)
    RestartSystem(p_.system, p_.restart, kEwxReboot);  // a refused restart just lets the program close
}

void TForm1::RestoreTable() {
  // A restore that cannot read the table leaves the edits on screen: they stay marked, and the
  // restore can be tried again.
  const bool wasModified = Modified;
  const bool restoreWasEnabled = btRestore->Enabled();
  Modified = false;
  btRestore->SetEnabled(false);
  {
    // A failing step must not leave the selection handler switched off for the rest of the run.
    struct RebuildingScope {
      bool& flag;
      explicit RebuildingScope(bool& f) : flag(f) { flag = true; }
      ~RebuildingScope() { flag = false; }
    } rebuilding(Rebuilding);
    // A failed read keeps the table the records came from, so that a later save cannot drop
    // the entries that belong to no record.
    sorel::SubstTable previous;
    previous.swap(SubstTable);
    try {
      ReadTable();
    } catch (...) {
      SubstTable.swap(previous);
      Modified = wasModified;
      btRestore->SetEnabled(restoreWasEnabled);
      throw;
    }
    FontList.Clear();
    BuildFontTree();
    LoadNlsMaps();
  }
  // The selection handler ran (and did nothing) while rebuilding; the first face may already be
  // the selection, and selecting it again would not run the handler.
  const NodeId first = TVFonts->FirstChild(0);
  if (first && TVFonts->Selected() != first) {
    TVFonts->Select(first);
  } else {
    TVFontsChange(first);
  }
}

void TForm1::btRestoreClick() { RestoreTable(); }

}  // namespace sorel
