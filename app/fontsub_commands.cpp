// The main window's editing commands: switching scripts and faces, the Western mapping, the per-script menus.
#include <charconv>
#include <string>
#include <system_error>

#include "app/fontsub.h"
#include "engine/sorted_text_list.h"

namespace sorel {

namespace {

// What a script node's text carries while its record is Western-mapped.
constexpr const char* kWesternMark = " -> [Western]";

TFontStruct* RecordOf(TreeView& tree, NodeId node) { return static_cast<TFontStruct*>(tree.Data(node)); }

// Removes the first Western mark from the node's text; true when there was one.
bool RemoveWesternMark(TreeView& tree, NodeId node) {
  std::string text = tree.Text(node);
  const std::size_t at = text.find(kWesternMark);
  if (at == std::string::npos) return false;
  text.erase(at, std::char_traits<char>::length(kWesternMark));
  tree.SetText(node, text);
  return true;
}

// A menu item's Tag from the number after "=": 0 when that is not a decimal number.
int TagOf(const std::string& number) {
  int value = 0;
  const char* end = number.data() + number.size();
  auto [ptr, ec] = std::from_chars(number.data(), end, value);
  return ec == std::errc() && ptr == end ? value : 0;
}

}  // namespace

void TForm1::MarkModified() {
  Modified = true;
  btRestore->SetEnabled(true);
}

void TForm1::ToggleScriptNode(NodeId node) {
  MarkModified();
  TFontStruct* record = RecordOf(*TVFonts, node);
  record->Enabled = !record->Enabled;
  TVFonts->SetStateIndex(node, record->Enabled + 1);
  TVFonts->SetStateIndex(TVFonts->Parent(node), FontList.FaceState(record->FaceName) + 1);
}

// The face's current state decides the direction: fully on goes off, none or mixed goes on.
void TForm1::ToggleFontNode(NodeId node) {
  const std::string face = TVFonts->Text(node);
  const bool allOn = TVFonts->StateIndex(node) == 2;
  for (int i = 0; i < FontList.Count(); ++i) {
    TFontStruct* record = FontList.Item(i);
    if (record->FaceName != face) continue;
    record->Enabled = !allOn;
    TVFonts->SetStateIndex(record->NodeItemId, allOn ? 1 : 2);
  }
  TVFonts->SetStateIndex(node, allOn ? 1 : 2);
}

void TForm1::ToggleWestern() {
  const NodeId sel = TVFonts->Selected();
  if (!sel || TVFonts->Level(sel) != 1) return;
  {
    TreeBatchUpdate batch(*TVFonts);
    TFontStruct* record = RecordOf(*TVFonts, sel);
    if (record->WesternMapped) {
      record->WesternMapped = false;
      RemoveWesternMark(*TVFonts, sel);
    } else {
      // A face's Western requests go to one script only: the mark moves here from any other.
      for (int i = 0; i < FontList.Count(); ++i) {
        TFontStruct* other = FontList.Item(i);
        if (other->FaceName != record->FaceName) continue;
        RemoveWesternMark(*TVFonts, other->NodeItemId);
        other->WesternMapped = false;
      }
      TVFonts->SetText(sel, TVFonts->Text(sel) + kWesternMark);
      record->WesternMapped = true;
    }
    // The tree keeps siblings in text order; the controls sort only when asked.
    TVFonts->SortChildren(TVFonts->Parent(sel));
  }
  MarkModified();
}

void TForm1::SetAllScripts(bool on) {
  for (int i = 0; i < FontList.Count(); ++i) {
    TFontStruct* record = FontList.Item(i);
    record->Enabled = on;
    TVFonts->SetStateIndex(record->NodeItemId, record->Enabled + 1);
    TVFonts->SetStateIndex(TVFonts->Parent(record->NodeItemId), FontList.FaceState(record->FaceName) + 1);
    MarkModified();
  }
  TVFontsChange(TVFonts->Selected());
}

void TForm1::SetScriptForAll(int charset, bool on) {
  for (int i = 0; i < FontList.Count(); ++i) {
    TFontStruct* record = FontList.Item(i);
    if (record->Charset != charset) continue;
    record->Enabled = on;
    TVFonts->SetStateIndex(record->NodeItemId, record->Enabled + 1);
    TVFonts->SetStateIndex(TVFonts->Parent(record->NodeItemId), FontList.FaceState(record->FaceName) + 1);
    MarkModified();
  }
  TVFontsChange(TVFonts->Selected());
}

void TForm1::BuildScriptMenus() {
  // ScriptNames is ordered by number; the menus list the scripts by name.
  SortedTextList byName(p_.compare);
  for (const std::string& element : ScriptNames.Items()) {
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
      item.Tag = TagOf(byName.Value(caption));
      item.OnClick = [this, handler = parent.handler](MenuItem& sender) { (this->*handler)(sender); };
    }
  }
}

void TForm1::TVFontsDblClick() {
  const NodeId sel = TVFonts->Selected();
  if (!sel) return;
  if (TVFonts->Level(sel) == 1) {
    ToggleScriptNode(sel);
  } else {
    MarkModified();
    ToggleFontNode(sel);
  }
  TVFontsChange(sel);
}

void TForm1::TVFontsKeyPress(char key) {
  if (key != 13) return;
  const NodeId sel = TVFonts->Selected();
  if (sel) {
    if (TVFonts->Level(sel) == 1) {
      TVFonts->Select(sel);
      TVFontsDblClick();
    } else {
      MarkModified();
      ToggleFontNode(sel);
      TVFontsChange(sel);
    }
  }
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
  bool switchesOff;
  if (TVFonts->Level(node) == 1) {
    switchesOff = RecordOf(*TVFonts, node)->Enabled;
  } else {
    switchesOff = TVFonts->StateIndex(node) == 2;
  }
  btOnOff->SetGlyph(ImageGlyph(switchesOff ? 4 : 5));
  // The sample of the face and character set follows with the preview window.
}

void TForm1::TVFontsContextPopup(int x, int y) { PopupMenu3->Popup(*TVFonts, x, y); }

void TForm1::btOnOffClick() {
  if (const NodeId sel = TVFonts->Selected()) {
    if (TVFonts->Level(sel) == 1) {
      TVFontsDblClick();
    } else {
      ToggleFontNode(sel);
      TVFontsChange(sel);
    }
  }
  MarkModified();
}

void TForm1::btMaskedOnOffClick() { PopupMenu2->Popup(*btMaskedOnOff, 0, btMaskedOnOff->Bounds().height); }

void TForm1::btWesternMapClick() { ToggleWestern(); }

// Context-menu commands act on the node under the press that opened the menu, not the selection.
void TForm1::muOnOffClick() {
  if (const NodeId node = TVFonts->NodeAt(ClickPoint.x, ClickPoint.y)) {
    if (TVFonts->Level(node) == 1) {
      TVFonts->Select(node);
      TVFontsDblClick();
    } else {
      MarkModified();
      ToggleFontNode(node);
      TVFontsChange(node);
    }
  }
  btRestore->SetEnabled(true);
}

void TForm1::muWesternClick() {
  const NodeId node = TVFonts->NodeAt(ClickPoint.x, ClickPoint.y);
  if (!node || TVFonts->Level(node) != 1) return;
  TVFonts->Select(node);
  ToggleWestern();
}

void TForm1::muAllOn2Click(MenuItem& sender) { SetAllScripts(sender.Tag == 1); }

void TForm1::muCE2Click(MenuItem& sender) { SetScriptForAll(sender.Tag, true); }

void TForm1::muCED2Click(MenuItem& sender) { SetScriptForAll(sender.Tag, false); }

}  // namespace sorel
