// The main window's editing commands: each handler reads the selection, runs the model's command
// and shows what it changed.
#include <string>

#include "app/fontsub.h"
#include "platform/text.h"
#include "engine/sorted_text_list.h"

namespace sorel {

void TForm1::MarkModified() {
  edits_.MarkModified();
  btRestore->SetEnabled(true);
}

void TForm1::ShowChanges(const TreeChanges& changes) {
  fontTree_->Apply(changes);
  if (changes.changed) MarkModified();
}

void TForm1::ToggleNodeHere(NodeId node) {
  if (!node) return;
  // The sample and the button follow the script being switched.
  if (RecordAt(node)) TVFonts->Select(node);
  ShowChanges(edits_.Toggle(fontTree_->ItemOf(node)));
  TVFontsChange(node);
}

void TForm1::ToggleWestern(NodeId node) {
  if (!RecordAt(node)) return;
  ShowChanges(edits_.ToggleWestern(fontTree_->ItemOf(node)));
}

void TForm1::BuildScriptMenus() {
  // ScriptNames is ordered by number; the menus list the scripts by name.
  SortedTextList byName(p_.compare);
  for (const std::string& element : edits_.ScriptNames().Items()) {
    const std::size_t eq = element.find('=');
    if (eq == std::string::npos) continue;
    byName.Add(element.substr(eq + 1) + "=" + element.substr(0, eq));
  }
  struct Parent {
    MenuItem* item;
    void (TForm1::*handler)(MenuItem&);
  };
  const Parent parents[] = {{puSelOn1, &TForm1::muCE2Click},
                            {puSelOff1, &TForm1::muCED2Click},
                            {puSelOn2, &TForm1::muCE2Click},
                            {puSelOff2, &TForm1::muCED2Click}};
  for (const Parent& parent : parents) {
    parent.item->Clear();
    for (int i = 0; i < byName.Count(); ++i) {
      const std::string caption = byName[i].substr(0, byName[i].find('='));
      MenuItem& item = parent.item->Add("", caption);  // made at run time: no name of its own
      // Two scripts of one name both act for the first one's number.
      // The number after "=" (the engine's own decimal character-set number); 0 if it were none.
      item.Tag = ParseIntegerText(byName.Value(caption)).value_or(0);
      item.OnClick = [this, handler = parent.handler](MenuItem& sender) { (this->*handler)(sender); };
    }
  }
}

void TForm1::TVFontsDblClick() { ToggleNodeHere(TVFonts->Selected()); }

// Enter enables the restore button even with nothing selected, as the context menu's switch does.
void TForm1::TVFontsKeyPress(char key) {
  if (key != 13) return;
  ToggleNodeHere(TVFonts->Selected());
  btRestore->SetEnabled(true);
}

void TForm1::TVFontsMouseDown(int x, int y) { ClickPoint = {x, y}; }

void TForm1::TVFontsChange(NodeId node) {
  if (Rebuilding) return;
  if (!node) {
    btOnOff->SetEnabled(false);
    return;
  }
  btOnOff->SetEnabled(true);
  // The button shows what a click does: switch off what is fully on, switch on anything else.
  ShowSample(node);
  btOnOff->SetGlyph(ImageGlyph(edits_.ToggleSwitchesOff(fontTree_->ItemOf(node)) ? 4 : 5));
}

void TForm1::TVFontsContextPopup(int x, int y) { PopupMenu3->Popup(*TVFonts, x, y); }

// The button is disabled while nothing is selected, so marking always follows a toggle.
void TForm1::btOnOffClick() {
  ToggleNodeHere(TVFonts->Selected());
  MarkModified();
}

void TForm1::btMaskedOnOffClick() { PopupMenu2->Popup(*btMaskedOnOff, 0, btMaskedOnOff->Bounds().height); }

void TForm1::btWesternMapClick() { ToggleWestern(TVFonts->Selected()); }

// Context-menu commands act on the node under the press that opened the menu, not the selection.
void TForm1::muOnOffClick() {
  ToggleNodeHere(TVFonts->NodeAt(ClickPoint.x, ClickPoint.y));
  btRestore->SetEnabled(true);
}

void TForm1::muWesternClick() {
  const NodeId node = TVFonts->NodeAt(ClickPoint.x, ClickPoint.y);
  if (!RecordAt(node)) return;
  TVFonts->Select(node);
  ToggleWestern(node);
}

void TForm1::muAllOn2Click(MenuItem& sender) {
  ShowChanges(edits_.SetAllScripts(sender.Tag == 1));
  TVFontsChange(TVFonts->Selected());
}

void TForm1::muCE2Click(MenuItem& sender) {
  ShowChanges(edits_.SetScriptForAll(sender.Tag, true));
  TVFontsChange(TVFonts->Selected());
}

void TForm1::muCED2Click(MenuItem& sender) {
  ShowChanges(edits_.SetScriptForAll(sender.Tag, false));
  TVFontsChange(TVFonts->Selected());
}

}  // namespace sorel
