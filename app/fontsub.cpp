// The main window TForm1: design, creation order, showing, closing and destruction.
#include "app/fontsub.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "app/settings.h"
#include "app/version.h"

namespace sorel {

namespace {

// Texts of the close question until a language section replaces them (line breaks as LF CR,
// the way they have always been stored).
const char* const kBuiltInSaveTitle = "Zakończenie pracy";
const char* const kBuiltInSaveText =
    "Zmiany nie zostały zapisane.\n\r"
    "Czy chcesz zapisać zmiany ustawień do sekcji [FontSubstitutes]?\n\r"
    "\n\r"
    "Uwaga!\n\r"
    "Po zapisaniu system zostanie uruchomiony ponownie.";

// The value of key in a key=value list, letter case ignored (ASCII; keys are program names).
std::optional<std::string> FindValue(const std::vector<std::string>& list, const std::string& key) {
  for (const auto& line : list) {
    if (line.find('=') != key.size()) continue;
    bool same = std::equal(key.begin(), key.end(), line.begin(), [](char a, char b) {
      return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
    if (same) return line.substr(key.size() + 1);
  }
  return std::nullopt;
}

}  // namespace

TForm1::TForm1(Platform& platform) : p_(platform) {
  CreateDesign();
  FormCreate();
}

void TForm1::CreateDesign() {
  self_ = p_.ui.CreateForm("Form1", FormStyle::Dialog);
  Form& f = *self_;
  f.SetCaption(kCaption);
  f.SetClientSize(kClientWidth, kClientHeight);
  f.OnShow = [this] { FormShow(); };
  f.OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };

  StatusBar1 = p_.ui.CreateStatusBar(f, "StatusBar1");
  StatusBar1->SetBounds({0, kClientHeight - 19, kClientWidth, 19});

  PageControl1 = p_.ui.CreateTabControl(f, "PageControl1");
  PageControl1->SetBounds({4, 4, kClientWidth - 8, 326});
  TabSheet1 = &PageControl1->AddSheet("TabSheet1", "&Program");
  TabSheet1->HelpContext = 1030;
  TabSheet2 = &PageControl1->AddSheet("TabSheet2", "&Informacje");
  TabSheet2->HelpContext = 1080;
  CreateProgramTab();
  CreateInformationTab();

  const int buttonTop = kClientHeight - 19 - 8 - 25;
  OsVer = p_.ui.CreateLabel(f, "OsVer");
  OsVer->SetCaption("OsVer");
  OsVer->SetBounds({8, buttonTop - 4, 150, 32});
  btRestore = p_.ui.CreateButton(f, "btRestore");
  btRestore->SetCaption("P&rzywróć");
  btRestore->SetEnabled(false);
  btRestore->SetBounds({kClientWidth - 3 * 81, buttonTop, 75, 25});
  btOK = p_.ui.CreateButton(f, "btOK");
  btOK->SetCaption("&OK");
  btOK->SetBounds({kClientWidth - 2 * 81, buttonTop, 75, 25});
  btOK->OnClick = [this] { btOKClick(); };
  btCancel = p_.ui.CreateButton(f, "btCancel");
  btCancel->SetCaption("&Zaniechaj");
  btCancel->SetBounds({kClientWidth - 81, buttonTop, 75, 25});
  btCancel->OnClick = [this] { btCancelClick(); };
}

// Program tab, left to right: a narrow dock, the picture with the tree and the sample area, and
// the dock that holds the toolbox.
void TForm1::CreateProgramTab() {
  Rect page = {0, 0, kClientWidth - 16, 326 - 30};
  Dock971 = p_.ui.CreatePanel(*TabSheet1, "Dock971");
  Dock971->SetBounds({0, 0, 9, page.height});
  Dock972 = p_.ui.CreatePanel(*TabSheet1, "Dock972");
  Dock972->SetBounds({page.width - 38, 0, 38, page.height});
  Panel1 = p_.ui.CreatePanel(*TabSheet1, "Panel1");
  const int middle = page.width - 9 - 38;
  Panel1->SetBounds({9, 0, middle, page.height});

  Image1 = p_.ui.CreateImage(*Panel1, "Image1");
  Image1->SetBounds({0, 0, 108, page.height});
  Image1->ShowBitmap("SIDEBAR");
  const int right = middle - 108 - 4;
  LBDescription = p_.ui.CreateLabel(*Panel1, "LBDescription");
  LBDescription->SetCaption("Dostępne czcionki TrueType:");
  LBDescription->SetBounds({112, 4, right, 16});
  const int sampleHeight = 57, splitter = 3;
  TVFonts = p_.ui.CreateTreeView(*Panel1, "TVFonts");
  TVFonts->SetBounds({112, 22, right, page.height - 22 - splitter - sampleHeight});
  SB1 = p_.ui.CreatePanel(*Panel1, "SB1");
  SB1->SetBounds({112, page.height - sampleHeight, right, sampleHeight});
}

void TForm1::CreateInformationTab() {
  Image2 = p_.ui.CreateImage(*TabSheet2, "Image2");
  Image2->SetBounds({16, 16, 32, 32});
  Label2 = p_.ui.CreateLabel(*TabSheet2, "Label2");
  Label2->SetHint("Wersja programu.");
  Label2->SetBounds({64, 24, 200, 16});
}

// The creation step, in its fixed order. Steps whose commands arrive with later work are marked.
void TForm1::FormCreate() {
  IsNT = DetectPlatform(p_.system) == 1;                    // 1
  SampleTexts.clear();                                       // 2
  OpenProgramKey();                                          // 3
  Rebuilding = false;                                        // 4
  FontNames.clear(), FaceScripts.clear(), ScriptNames.clear();  // 5
  // 6: font enumeration arrives with the font tree.
  SubstTable.clear(), ScriptSuffixes.clear();                // 7
  store_ = std::make_unique<TableStore>(p_.registry, p_.profiles, p_.files, p_.system, p_.compare,
                                        IsNT);
  // 8: script suffixes arrive with the language file.
  Modified = false;                                          // 9
  ReadTable();                                               // 10
  // 11: the font tree arrives with the font inventory.
  Image2->ShowIcon("MAINICON");                              // 12
  Label2->SetCaption(GetExeVersion(p_.system));
  // 13: per-script menus arrive with the editing commands.
  p_.app.OnHint = [this] { ShowHint(); };                    // 14
  // 15: code-page choices arrive with the code-page mapping.
}

void TForm1::OpenProgramKey() {
  auto key = p_.registry.Open(RegRoot::CurrentUser, ProgramKey, true);
  if (!key) {
    // Without its own key the program cannot keep its settings: it ends as soon as it runs.
    p_.app.Terminate();
    return;
  }
  UpdateAppPath(*key, p_.system.ExePath());
  // The language is applied (or chosen) here once the language file is read.
  SampleSet = key->ReadString("SampleSet1");
}

void TForm1::ReadTable() { store_->ReadTable(SubstTable); }
void TForm1::WriteTable() { store_->WriteTable(SubstTable); }

void TForm1::ShowHint() { StatusBar1->SetSimpleText(p_.app.CurrentHint()); }

std::string TForm1::UiText(const std::string& key) const {
  if (auto value = FindValue(UiTexts, key)) return *value;
  if (key == "WSSaveTitle") return kBuiltInSaveTitle;
  if (key == "WSSaveText") return kBuiltInSaveText;
  return "";
}

void TForm1::FormShow() {
  self_->CenterOnScreen();
  if (p_.app.WindowEnabled()) p_.app.BringToForeground();
  if (NodeId first = TVFonts->FirstChild(0)) TVFonts->Select(first);
}

void TForm1::FormCloseQuery(bool& canClose) {
  canClose = true;
  if (Modified) {
    int answer = p_.dialogs.MessageBox(UiText("WSSaveText"), UiText("WSSaveTitle"),
                                       Mb::YesNoCancel | Mb::IconQuestion);
    if (answer == Answer::Cancel) {
      canClose = false;
    } else if (answer == Answer::Yes) {
      try {
        ApplyChanges();
      } catch (...) {
        // The user's choices are not lost: the window stays open with its changes.
        canClose = false;
        throw;
      }
    }
  }
}

void TForm1::ApplyChanges() {
  WriteTable();
  Modified = false;
}

void TForm1::btOKClick() { self_->Close(); }

void TForm1::btCancelClick() {
  Modified = false;
  self_->Close();
}

TForm1::~TForm1() {
  FontNames.clear();
  SubstTable.clear();
  FaceScripts.clear();
  ScriptNames.clear();
  ScriptSuffixes.clear();
  SampleTexts.clear();
  if (store_) store_->WinIniFile.reset();
}

}  // namespace sorel
