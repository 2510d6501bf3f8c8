// The main window TForm1: design, creation order, showing, closing and destruction.
#include "app/fontsub.h"
#include "platform/text.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "app/settings.h"
#include "app/version.h"
#include "lang/LangChoose.h"
#include "lang/langres.h"
#include "platform/errors.h"

namespace sorel {

namespace {

// The toolbox: buttons 26 pixels apart in a bar 38 wide, in the right dock (the second) at first.
constexpr int kToolboxButton = 26, kToolboxWidth = 38, kToolboxDock = 2;
// A dock without the toolbox stays this wide, so that there is still a place to drop it.
constexpr int kEmptyDock = 9;

// Runs one step of the window's creation. An error of the layers is shown as a command's error
// is, and creation goes on: a bad value in the program's key must not keep the program from
// starting. What the step could not read keeps its default.
template <class Step>
void CreationStep(Application& app, Step&& step) {
  try {
    step();
  } catch (const PlatformError& e) {
    app.ShowException(e);
  }
}

}  // namespace

TForm1::TForm1(Platform& platform)
    : p_(platform),
      settings_(platform.registry),
      edits_(platform.compare),
      codePage_(platform.registry, platform.profiles, platform.files, platform.system, LangResPath(platform.system)) {
  texts_.UiTexts = BuiltInUiTexts();
  texts_.HelpPagePath = kBuiltInHelpPagePath;
  CreateDesign();
  CreateUpdateCheck();
  for (Control* c : std::initializer_list<Control*>{
           self_.get(), PageControl1.get(), TabSheet1, TabSheet2, Dock971.get(), Panel1.get(), Dock972.get(),
           SB1.get(), Image1.get(), Image2.get(), LBDescription.get(), Label2.get(), OsVer.get(), TVFonts.get(),
           btRestore.get(), btOK.get(), btCancel.get(), StatusBar1.get(), tbToolbox.get(), btOnOff.get(),
           btMaskedOnOff.get(), btWesternMap.get(), ToolbarButton971.get(), ToolbarButton971Arrow.get(),
           btLangChoose.get(), btPreview.get(), btSampleSelect.get(), LabelSample.get(), LabelAbout1.get(),
           LabelContact.get(), MailTo.get(), LabelHTTP.get(), URLLink.get(), HT1.get(), btLangResEdit.get(),
           btWebUpdate.get(), btWebUpdateArrow.get(), btOpenFontsFolder.get()})
    Name(*c);
  FormCreate();
  frmPrev_ = std::make_unique<TfrmPrev>(p_, *this);
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
  CreateMenus();
  CreateProgramTab();
  CreateInformationTab();

  const int buttonTop = kClientHeight - 19 - 8 - 25;
  PageControl1->OnChange = [this] { PageControl1Change(); };
  p_.app.OnHelp = [this](int context) { ShowHelpTopic(context); };
  OsVer = p_.ui.CreateLabel(f, "OsVer");
  OsVer->SetCaption("OsVer");
  OsVer->SetBounds({8, buttonTop - 4, 150, 32});
  btRestore = p_.ui.CreateButton(f, "btRestore");
  btRestore->SetCaption("P&rzywróć");
  btRestore->SetEnabled(false);
  btRestore->OnClick = [this] { btRestoreClick(); };
  btRestore->SetBounds({kClientWidth - 3 * 81, buttonTop, 75, 25});
  btOK = p_.ui.CreateButton(f, "btOK");
  btOK->SetCaption("&OK");
  btOK->SetBounds({kClientWidth - 2 * 81, buttonTop, 75, 25});
  btOK->OnClick = [this] { btOKClick(); };
  btCancel = p_.ui.CreateButton(f, "btCancel");
  btCancel->SetCaption("&Zaniechaj");
  btCancel->SetBounds({kClientWidth - 81, buttonTop, 75, 25});
  btCancel->OnClick = [this] { btCancelClick(); };
  f.SetCancelButton(btCancel.get());
  btOK->HelpContext = 1050;
  btRestore->HelpContext = 1060;
  btCancel->HelpContext = 1070;
}

// Program tab, left to right: a narrow dock, the picture with the tree and the sample area, and
// the dock that holds the toolbox. Either dock takes the toolbox; an empty one stays 9 pixels wide.
void TForm1::CreateProgramTab() {
  Dock971 = p_.ui.CreatePanel(*TabSheet1, "Dock971");
  Dock972 = p_.ui.CreatePanel(*TabSheet1, "Dock972");
  Panel1 = p_.ui.CreatePanel(*TabSheet1, "Panel1");
  Image1 = p_.ui.CreateImage(*Panel1, "Image1");
  Image1->ShowBitmap("SIDEBAR");
  LBDescription = p_.ui.CreateLabel(*Panel1, "LBDescription");
  LBDescription->SetCaption("Dostępne czcionki TrueType:");
  TVFonts = p_.ui.CreateTreeView(*Panel1, "TVFonts");
  TVFonts->SetStateImages("IMAGELIST1");
  fontTree_ = std::make_unique<FontTreeView>(*TVFonts);
  TVFonts->OnCollapsing = [](NodeId) { return false; };  // the whole tree stays open
  TVFonts->OnChange = [this](NodeId node) { TVFontsChange(node); };
  TVFonts->OnDblClick = [this] { TVFontsDblClick(); };
  TVFonts->OnKeyPress = [this](char key) { TVFontsKeyPress(key); };
  TVFonts->OnMouseDown = [this](int x, int y) { TVFontsMouseDown(x, y); };
  TVFonts->OnContextPopup = [this](int x, int y) { TVFontsContextPopup(x, y); };
  SB1 = p_.ui.CreatePanel(*Panel1, "SB1");
  SB1->OnContextPopup = [this](int x, int y) { SB1ContextPopup(x, y); };
  // One line of the sample in the selected face and script; only face and script change.
  LabelSample = p_.ui.CreateLabel(*SB1, "LabelSample");
  LabelSample->SetFitToText(true);
  LabelSample->SetTransparent(true);
  LabelSample->SetFont(FontSpec{"MS Sans Serif", 0, kSamplePoints});
  LabelSample->SetBounds({4, 4, 0, 0});
  LabelSample->SetCaption("");
  CreateToolbox();

  Docks = std::make_unique<TDockSite>(p_.ui, p_.app, *self_);
  Docks->AddDock(*Dock971, DockSide::Left, kEmptyDock);
  Docks->AddDock(*Dock972, DockSide::Right, kEmptyDock);
  ToolWindowOptions toolbox;
  toolbox.caption = BuiltInText("tbToolbox");
  toolbox.stretch = true;
  toolbox.floatOnTop = true;  // above the preview window too, which stays on top
  toolbox.floatVertical = true;
  toolbox.arrange = [this](bool, sorel::Point, bool place) { return ArrangeToolbox(place); };
  Toolbox = &Docks->AddToolWindow(*tbToolbox, "tbToolbox", kToolboxDock, toolbox);
  Docks->OnLayoutChange = [this] { LayoutProgramTab(); };
  LayoutProgramTab();
}

void TForm1::LayoutProgramTab() {
  const Rect page = {0, 0, kClientWidth - 16, 326 - 30};
  const Rect middle = Docks->LayoutDocks(page);
  Panel1->SetBounds(middle);
  const int right = std::max(0, middle.width - 108 - 4);
  const int sampleHeight = 57, splitter = 3;
  Image1->SetBounds({0, 0, 108, middle.height});
  LBDescription->SetBounds({112, 4, right, 16});
  TVFonts->SetBounds({112, 22, right, middle.height - 22 - splitter - sampleHeight});
  SB1->SetBounds({112, middle.height - sampleHeight, right, sampleHeight});
}

// The toolbox: its buttons in a fixed order, top to bottom, with separators between the groups.
void TForm1::CreateToolbox() {
  tbToolbox = p_.ui.CreatePanel(*Dock972, "tbToolbox");
  // A button's design hint is its language key's built-in text.
  auto make = [&](const char* name, const std::string& glyph) {
    auto button = p_.ui.CreateButton(*tbToolbox, name);
    button->SetGlyph(glyph);
    button->SetHint(BuiltInText(std::string(name) + "Hint"));
    return button;
  };
  btOnOff = make("btOnOff", ImageGlyph(5));
  btOnOff->SetEnabled(false);
  btOnOff->OnClick = [this] { btOnOffClick(); };
  btMaskedOnOff = make("btMaskedOnOff", ImageGlyph(6));
  btMaskedOnOff->OnClick = [this] { btMaskedOnOffClick(); };
  btWesternMap = make("btWesternMap", "GLYPH_WESTERN");
  btWesternMap->OnClick = [this] { btWesternMapClick(); };
  btPreview = make("btPreview", "GLYPH_PREVIEW");
  btPreview->SetDown(false);
  btPreview->OnClick = [this] { btPreviewClick(); };
  btSampleSelect = make("btSampleSelect", "GLYPH_SAMPLES");
  btSampleSelect->OnClick = [this] { btSampleSelectClick(); };
  // The code-page button: its main part runs the action, the narrow part beside it opens the list.
  ToolbarButton971 = make("ToolbarButton971", ImageGlyph(7));
  ToolbarButton971->SetDown(false);
  ToolbarButton971->OnClick = [this] { acCPModExecute(); };
  ToolbarButton971Arrow = make("ToolbarButton971Arrow", "GLYPH_ARROW");
  ToolbarButton971Arrow->OnClick = [this] { ToolbarButton971DropDown(); };
  btLangChoose = make("btLangChoose", "GLYPH_LANGCHOOSE");
  btLangChoose->OnClick = [this] { btLangChooseClick(); };
  btLangResEdit = make("btLangResEdit", "GLYPH_LANGRESEDIT");
  btLangResEdit->SetHint("Edycja LangRes.ini");
  btLangResEdit->OnClick = [this] { btLangResEditClick(); };
  // The update button: its main part checks, the narrow part beside it opens PopupMenu1.
  btWebUpdate = make("btWebUpdate", "GLYPH_WEBUPDATE");
  btWebUpdate->OnClick = [this] { btWebUpdateClick(); };
  btWebUpdateArrow = make("btWebUpdateArrow", "GLYPH_ARROW");
  btWebUpdateArrow->SetHint(btWebUpdate->Hint());
  btWebUpdateArrow->OnClick = [this] { PopupMenu1->Popup(*btWebUpdateArrow, 0, kToolboxButton - 2); };
  btWebUpdate->OnContextPopup = [this](int x, int y) { PopupMenu1->Popup(*btWebUpdate, x, y); };
  btOpenFontsFolder = make("btOpenFontsFolder", "GLYPH_FONTSFOLDER");
  btOpenFontsFolder->SetHint("Open fonts folder");
  btOpenFontsFolder->OnClick = [this] { btOpenFontsFolderClick(); };
}

sorel::Point TForm1::ArrangeToolbox(bool place) {
  constexpr int kSeparator = 6;
  // Each slot: the button, and the narrow drop-down part beside it when it has one.
  struct Slot {
    Button* button;
    Button* arrow;
    bool separatorBefore;
  };
  const Slot slots[] = {{btOnOff.get(), nullptr, false},         {btMaskedOnOff.get(), nullptr, false},
                        {btWesternMap.get(), nullptr, false},    {btPreview.get(), nullptr, true},
                        {btSampleSelect.get(), nullptr, false},  {ToolbarButton971.get(), ToolbarButton971Arrow.get(), true},
                        {btLangChoose.get(), nullptr, true},     {btLangResEdit.get(), nullptr, false},
                        {btWebUpdate.get(), btWebUpdateArrow.get(), false}, {btOpenFontsFolder.get(), nullptr, true}};
  int top = 2;
  for (const Slot& slot : slots) {
    if (slot.separatorBefore) top += kSeparator;
    if (place && slot.arrow) {
      slot.button->SetBounds({2, top, 26, kToolboxButton - 2});
      slot.arrow->SetBounds({28, top, 9, kToolboxButton - 2});
    } else if (place) {
      slot.button->SetBounds({4, top, 30, kToolboxButton - 2});
    }
    top += kToolboxButton;
  }
  return {kToolboxWidth, top + 2};
}

std::string TForm1::ImageGlyph(int index) { return "IMAGE" + std::to_string(index); }

// The tree's context menu and the drop-down menu of the masked on/off button; the per-script
// submenus are filled once the tree is built.
void TForm1::CreateMenus() {
  auto item = [this](MenuItem& parent, const char* name, const char* caption, int tag, const char* image) {
    MenuItem& added = parent.Add(name, caption);
    added.Tag = tag;
    if (image) added.SetImage(image);
    namedItems_[AsciiLower(name)] = &added;
    return &added;
  };
  PopupMenu3 = p_.ui.CreatePopupMenu("PopupMenu3");
  MenuItem& tree = PopupMenu3->Items();
  muOnOff = item(tree, "muOnOff", "Włącz/wyłącz czcionkę", 0, nullptr);
  muOnOff->OnClick = [this](MenuItem&) { muOnOffClick(); };
  muWestern = item(tree, "muWestern", "Mapuj w skrypt [Western]", 0, nullptr);
  muWestern->OnClick = [this](MenuItem&) { muWesternClick(); };
  item(tree, "N2", "-", 0, nullptr);
  muAllOn1 = item(tree, "muAllOn1", "Włącz wszystkie", 1, "MENU5");
  muAllD1 = item(tree, "muAllD1", "Wyłącz wszystkie", 2, "MENU4");
  item(tree, "MenuItem2", "-", 0, nullptr);
  puSelOn1 = item(tree, "puSelOn1", "Włącz wszystkie sktypty", 0, "MENU5");
  puSelOff1 = item(tree, "puSelOff1", "Wyłącz wszystkie skrypty", 0, "MENU4");

  PopupMenu1 = p_.ui.CreatePopupMenu("PopupMenu1");
  MenuItem& web = PopupMenu1->Items();
  puWWWProxy = item(web, "puWWWProxy", "Edycja Proxy", 0, nullptr);
  puWWWProxy->OnClick = [this](MenuItem&) { puWWWProxyClick(); };
  item(web, "N1", "-", 0, nullptr);
  puWebUpdate = item(web, "puWebUpdate", "Sprawdź nową wersję", 0, nullptr);
  puWebUpdate->OnClick = [this](MenuItem&) { btWebUpdateClick(); };

  PopupMenu2 = p_.ui.CreatePopupMenu("PopupMenu2");
  MenuItem& masked = PopupMenu2->Items();
  muAllOn2 = item(masked, "muAllOn2", "Włącz wszystkie", 1, "MENU5");
  muAllD2 = item(masked, "muAllD2", "Wyłącz wszystkie", 2, "MENU4");
  item(masked, "N4", "-", 0, nullptr);
  puSelOn2 = item(masked, "puSelOn2", "Włącz wszystkie skrypty", 0, "MENU5");
  puSelOff2 = item(masked, "puSelOff2", "Wyłącz wszystkie skrypty", 0, "MENU4");
  for (MenuItem* all : {muAllOn1, muAllD1, muAllOn2, muAllD2})
    all->OnClick = [this](MenuItem& sender) { muAllOn2Click(sender); };

  puNLs = p_.ui.CreatePopupMenu("puNLs");
  pmSamplez = p_.ui.CreatePopupMenu("pmSamplez");
}


// The creation step, in its fixed order. Steps whose commands arrive with later work are marked.
void TForm1::FormCreate() {
  isNT_ = DetectPlatform(p_.system) == 1;                    // 1
  sampleTexts_.Clear();                                      // 2
  OpenProgramKey();                                          // 3
  Rebuilding = false;                                        // 4
  edits_.ClearFontLists();                                   // 5
  edits_.EnumerateFonts(p_.fonts, self_->HandleAllocated()); // 6
  edits_.ClearTableState();                                  // 7
  store_ = std::make_unique<TableStore>(p_.registry, p_.profiles, p_.files, p_.system, p_.compare,
                                        isNT_);
  CreationStep(p_.app, [this] {                              // 8
    if (p_.files.Exists(LangResPath(p_.system))) edits_.ReadScriptSuffixes(p_.profiles, LangResPath(p_.system));
  });
  edits_.ClearModified();                                    // 9
  edits_.ReadTable(*store_);  // 10: not a step to go past: a save after a partial read would drop the rest
  CreationStep(p_.app, [this] { BuildFontTree(false); });         // 11
  Image2->ShowIcon("MAINICON");                              // 12
  Label2->SetCaption(GetExeVersion(p_.system));
  BuildScriptMenus();                                        // 13
  p_.app.OnHint = [this] { ShowHint(); };                    // 14
  CreationStep(p_.app, [this] { LoadNlsMaps(); });           // 15
}

void TForm1::OpenProgramKey() {
  if (!settings_.Available()) {
    // Without its own key the program cannot keep its settings: it ends as soon as it runs.
    p_.app.Terminate();
    return;
  }
  CreationStep(p_.app, [this] { settings_.KeepAppPath(p_.system.ExePath()); });
  // Missing, or of another type, the language is asked for; a read that fails otherwise shows its
  // error and goes on with the empty name, which gives the built-in texts.
  std::optional<std::string> language = "";
  CreationStep(p_.app, [&] { language = settings_.Language(); });
  if (language) {
    CreationStep(p_.app, [&] { ApplyLanguage(*language); });
  } else {
    CreationStep(p_.app, [this] { ChooseLanguage(); });
    if (!settings_.Available()) return;
  }
  CreationStep(p_.app, [this] { sampleSet_ = settings_.SampleSet(); });
  CreationStep(p_.app, [this] { LoadSampleSets(sampleSet_); });
}

void TForm1::BuildFontTree(bool again) {
  try {
    if (again) {
      edits_.RebuildTree(p_.fonts, self_->HandleAllocated());
    } else {
      edits_.BuildTree(p_.fonts, self_->HandleAllocated());
    }
  } catch (...) {
    fontTree_->Show(edits_.Faces());
    throw;
  }
  fontTree_->Show(edits_.Faces());
}

void TForm1::ShowHint() { StatusBar1->SetSimpleText(p_.app.CurrentHint()); }

std::string TForm1::UiText(const std::string& key) const { return texts_.UiTexts.ValueOr(key, ""); }

void TForm1::ApplyLanguage(const std::string& section) { sorel::ApplyLanguage(p_, section, isNT_, *this, texts_); }

void TForm1::ChooseLanguage() {
  // A value that cannot be read is missing here too: the dialog is the way to repair it.
  const std::string section = TfrmLangChoose(p_, settings_.Language()).ShowModal();
  std::exception_ptr storeError;
  try {
    settings_.SetLanguage(section);
  } catch (const PlatformError&) {
    storeError = std::current_exception();
  }
  ApplyLanguage(section);
  if (frmPrev_) frmPrev_->SetHintsAndTabCaption();
  // Said only once the choice is in place: the windows already show the chosen language, so the
  // message is plainly about keeping it for the next start, not about the choice itself.
  if (storeError) std::rethrow_exception(storeError);
}

void TForm1::Name(Control& control) { named_[AsciiLower(control.Name())] = &control; }

Control* TForm1::Named(const std::string& name) {
  auto it = named_.find(AsciiLower(name));
  return it == named_.end() ? nullptr : it->second;
}

LanguageTarget::Kind TForm1::ControlKind(const std::string& name, std::string& exactName) {
  Control* c = Named(name);
  if (!c) return Kind::None;
  exactName = c->Name();
  if (dynamic_cast<Label*>(c)) return Kind::Label;
  if (dynamic_cast<Button*>(c)) return Kind::Button;
  if (dynamic_cast<TabSheet*>(c)) return Kind::TabSheet;
  return Kind::Other;
}

void TForm1::SetCaption(const std::string& name, const std::string& text) {
  if (auto it = namedItems_.find(AsciiLower(name)); it != namedItems_.end()) it->second->SetCaption(text);
  // The toolbox's caption is its floating window's title.
  if (Named(name) == tbToolbox.get()) Toolbox->SetCaption(text);
  if (auto* captioned = dynamic_cast<Captioned*>(Named(name))) captioned->SetCaption(text);
  KeepRightEdges();  // a new caption of a right-aligned label changes its width
}

std::string TForm1::Caption(const std::string& name) {
  if (auto it = namedItems_.find(AsciiLower(name)); it != namedItems_.end()) return it->second->Caption();
  auto* captioned = dynamic_cast<Captioned*>(Named(name));
  return captioned ? captioned->Caption() : "";
}

void TForm1::SetHint(const std::string& name, const std::string& text) {
  if (Control* c = Named(name)) c->SetHint(text);
}

std::string TForm1::Hint(const std::string& name) {
  Control* c = Named(name);
  return c ? c->Hint() : "";
}

// At start the language is applied before the preview window exists; it takes its caption later.
void TForm1::SetPreviewCaption(const std::string& text) {
  if (frmPrev_) frmPrev_->SetCaption(text);
}

void TForm1::FormShow() {
  RestoreMainPlacement();
  if (p_.app.WindowEnabled()) p_.app.BringToForeground();
  if (NodeId first = TVFonts->FirstChild(0)) TVFonts->Select(first);
}

// The placement is kept on every close attempt: after Cancel, after No, and when saving failed.
void TForm1::FormCloseQuery(bool& canClose) {
  try {
    canClose = ConfirmEnd(true);
  } catch (...) {
    canClose = false;
    SaveMainPlacement();
    throw;
  }
  SaveMainPlacement();
}

// A failed save throws with the edits kept, so the user's choices are not lost.
bool TForm1::ConfirmEnd(bool offerRestart) {
  if (!edits_.Modified()) return true;
  const Answer answer =
      p_.dialogs.MessageBox(UiText("WSSaveText"), UiText("WSSaveTitle"), Buttons::YesNoCancel, Icon::Question);
  if (answer == Answer::Cancel) return false;
  if (answer == Answer::Yes) ApplyChanges(offerRestart);
  if (answer == Answer::No) edits_.ClearModified();
  return true;
}

void TForm1::btLangChooseClick() { ChooseLanguage(); }

void TForm1::btOKClick() { self_->Close(); }

void TForm1::btCancelClick() {
  edits_.ClearModified();
  self_->Close();
}

TForm1::~TForm1() {
  sampleTexts_.Clear();
  if (store_) store_->WinIniFile.reset();
}

}  // namespace sorel
