// The main window TForm1: its design, creation order, close question and the state it owns.
#pragma once
#include <memory>
#include <string>
#include <vector>
#include <map>

#include "app/font_tree_view.h"
#include "app/program_version.h"
#include "app/settings.h"
#include "ui/dock/dock_site.h"
#include "codepage/nls_mapping.h"
#include "engine/edit_model.h"
#include "engine/key_value_list.h"
#include "engine/subst_table.h"
#include "lang/apply_language.h"
#include "ui/services.h"
#include "preview/fontsub_preview.h"
#include "update/WebFileInfo.h"

namespace sorel {

class TForm1 : public LanguageTarget, public PreviewHost {
 public:
  // Builds the window's design and runs its creation step.
  explicit TForm1(Platform& platform);
  // Releases the working state in the fixed order.
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  static constexpr int kClientWidth = 400;
  static constexpr int kClientHeight = 392;
  static constexpr const char* kCaption = SOREL_CAPTION;
  // LabelSample's design font: a 21-pixel character height on the 96-dots-per-inch screen.
  static constexpr int kSamplePoints = 16;

  // What start-up, closing and the other windows ask of the main window.
  void FormShow();
  // Writes the user's choices to the system. Errors from the layers propagate to the caller.
  // Writes the table and the code-page mapping; then offers the restart when told to.
  void ApplyChanges(bool offerRestart = true);
  // Discards the unsaved edits: the table, the tree and the code-page choice are read again.
  void RestoreTable();
  // Window placement and toolbox layout (fontsub_settings.cpp).
  void RestoreMainPlacement();
  void SaveMainPlacement();
  // Reads the code-page choices and the system's current file (fontsub_codepage.cpp).
  void LoadNlsMaps();
  // Applies a language section of the language file to the window and the texts.
  void ApplyLanguage(const std::string& section);
  // Lets the user pick the language, stores and applies it.
  void ChooseLanguage();
  // The current language's text for key, or the built-in text until a language provides one.
  std::string UiText(const std::string& key) const override;
  // Builds the sample-set menu and reads the chosen set (or the first) into the sample texts.
  void LoadSampleSets(const std::string& chosenName);

  Form& Self() { return *self_; }
  // What the window edits and shows, for reading: the records, the table, the unsaved flag.
  const EditModel& Edits() const { return edits_; }
  // Which tree node shows which of the model's faces and scripts.
  const FontTreeView& FontTree() const { return *fontTree_; }
  const NlsMapping& CodePage() const { return codePage_; }
  const LanguageState& Texts() const { return texts_; }
  bool IsNT() const { return isNT_; }
  // "SampleSet1" as read at start.
  const std::string& SampleSet() const { return sampleSet_; }
  // The preview window, made right after this window.
  TfrmPrev& Preview() { return *frmPrev_; }

  // What the preview window asks of its owner.
  const SortedTextList& ScriptNames() const override { return edits_.ScriptNames(); }
  Rect HostBounds() override { return self_->Bounds(); }
  void PreviewShown(bool shown) override;
  std::optional<StoredPlacement> StoredPreviewPlacement() override { return settings_.PreviewPlacement(); }
  void KeepPreviewPlacement(const Rect& bounds) override { settings_.SavePreviewPlacement(bounds); }

 // What a language section may change, by control name.
  Kind ControlKind(const std::string& name, std::string& exactName) override;
  void SetCaption(const std::string& name, const std::string& text) override;
  std::string Caption(const std::string& name) override;
  void SetHint(const std::string& name, const std::string& text) override;
  std::string Hint(const std::string& name) override;
  void SetPreviewCaption(const std::string& text) override;

 private:
  // Event handlers, named control plus event; the controls call them.
  void FormCloseQuery(bool& canClose);
  // The close question when there are unsaved changes: Yes saves, No discards; false on Cancel.
  bool ConfirmEnd(bool offerRestart);
  void btOKClick();
  void btCancelClick();
  void btLangChooseClick();
  void btRestoreClick();
  // Editing commands (fontsub_commands.cpp).
  void TVFontsDblClick();
  void TVFontsKeyPress(char key);
  void TVFontsMouseDown(int x, int y);
  void TVFontsChange(NodeId node);
  void TVFontsContextPopup(int x, int y);
  void btOnOffClick();
  void btMaskedOnOffClick();
  void btWesternMapClick();
  void muOnOffClick();
  void muWesternClick();
  void muAllOn2Click(MenuItem& sender);
  void muCE2Click(MenuItem& sender);
  void muCED2Click(MenuItem& sender);
  // The preview and the sample sets (fontsub_sample.cpp).
  void btPreviewClick();
  void btSampleSelectClick();
  void SB1ContextPopup(int x, int y);
  void puSampleClick(MenuItem& sender);
  // The sample of the node's face and character set, under the tree and in the preview.
  void ShowSample(NodeId node);
  // The code-page button and its list (fontsub_codepage.cpp).
  void acCPModExecute();
  void mnuNLsClick(MenuItem& sender);
  void ToolbarButton971DropDown();
  // The information tab, the shell and help (fontsub_info.cpp).
  void PageControl1Change();
  void HT1HotSpotClick(const std::string& target, bool& handled);
  void MailToClick();
  void URLLinkClick();
  void btOpenFontsFolderClick();
  void btLangResEditClick();
  // The update check and its proxy settings (fontsub_update.cpp).
  void btWebUpdateClick();
  void puWWWProxyClick();
  void CreateUpdateCheck();
  // F1: the help page at the topic of the context, on the information tab.
  void ShowHelpTopic(int context);

  void Name(Control& control);
  Control* Named(const std::string& name);
  void CreateDesign();
  void CreateProgramTab();
  void CreateInformationTab();
  // LabelHTTP and URLLink stand with their right edges at one place whatever their captions.
  void KeepRightEdges();
  void CreateToolbox();
  // The toolbox's buttons, top to bottom: the size they need, and with place, put there.
  Point ArrangeToolbox(bool place);
  // The docks at the page's edges and the picture, tree and sample area between them.
  void LayoutProgramTab();
  void CreateMenus();
  // The glyph of a toolbox button from the main image list's index (4 switched-off bulb, 5 lit).
  static std::string ImageGlyph(int index);
  void FormCreate();
  void OpenProgramKey();
  // Builds the model's tree (again: with the records cleared first) and shows it; what a failing
  // build made is shown as well, as the model keeps its records.
  void BuildFontTree(bool again);
  void ShowHint();

  // The editing commands' part on screen.
  void MarkModified();
  // Toggles the node a command points at: a script node becomes the selection first; the
  // button then shows what the next click does. Nothing without a node.
  void ToggleNodeHere(NodeId node);
  void ToggleWestern(NodeId node);
  void ShowChanges(const TreeChanges& changes);
  // The record a script node shows; nullptr for any other node.
  const TFontStruct* RecordAt(NodeId node) const { return edits_.RecordOf(fontTree_->ItemOf(node)); }
  void BuildScriptMenus();
  // The indicator of the code-page mapping and the button that shows it.
  void ShowCodePageIndicator();
  void ShowCodePageChecks();
  // The language's text of key with name in its one "%s", or the built-in one when the language's
  // does not take exactly one name.
  std::string TextWithName(const std::string& key, const std::string& name) const;
  // Before the program ends for the update's installer: the close question; false keeps it running.
  bool EndForUpdate();

  Platform& p_;
  Settings settings_;
  bool isNT_ = false;
  EditModel edits_;
  NlsMapping codePage_;
  bool Rebuilding = false;  // the tree is being rebuilt: selection changes are not acted on
  KeyValueList sampleTexts_;
  LanguageState texts_;     // UiTexts, HelpPagePath, DefNLsSubst, DefLangVal
  std::string sampleSet_;
  Point ClickPoint;  // tree client coordinates of the last mouse press in the tree
  std::unique_ptr<TableStore> store_;

  // Controls, by their names.
  std::unique_ptr<Form> self_;
  std::unique_ptr<TabControl> PageControl1;
  TabSheet* TabSheet1 = nullptr;
  TabSheet* TabSheet2 = nullptr;
  std::unique_ptr<Panel> Dock971, Panel1, Dock972, SB1;
  std::unique_ptr<Image> Image1, Image2;
  std::unique_ptr<Label> LBDescription, Label2, OsVer;
  std::unique_ptr<TreeView> TVFonts;
  std::unique_ptr<FontTreeView> fontTree_;  // over TVFonts
  std::unique_ptr<Button> btRestore, btOK, btCancel;
  std::unique_ptr<Panel> tbToolbox;
  std::unique_ptr<Button> btOnOff, btMaskedOnOff, btWesternMap, btPreview, btSampleSelect, ToolbarButton971,
      ToolbarButton971Arrow, btLangChoose, btLangResEdit, btWebUpdate, btWebUpdateArrow, btOpenFontsFolder;
  std::unique_ptr<Label> LabelSample, LabelAbout1, LabelContact, MailTo, LabelHTTP, URLLink;
  std::unique_ptr<HtmlViewer> HT1;
  // Menus; items belong to their menus.
  std::unique_ptr<PopupMenu> PopupMenu1, PopupMenu2, PopupMenu3, puNLs, pmSamplez;
  MenuItem *puWWWProxy = nullptr, *puWebUpdate = nullptr;
  MenuItem *muOnOff = nullptr, *muWestern = nullptr, *muAllOn1 = nullptr, *muAllD1 = nullptr,
           *puSelOn1 = nullptr, *puSelOff1 = nullptr, *muAllOn2 = nullptr, *muAllD2 = nullptr,
           *puSelOn2 = nullptr, *puSelOff2 = nullptr;
  std::unique_ptr<StatusBar> StatusBar1;

  std::map<std::string, Control*> named_;  // every control by its name in lower case
  std::map<std::string, MenuItem*> namedItems_;  // menu items by name in lower case
  // The update check, with the proxy settings of this run.
  std::unique_ptr<TWebFileInfo> WWWCheck;
  // The docks and the toolbox that moves between them; after the controls it moves, so that it goes
  // first and leaves the toolbox on its page.
  std::unique_ptr<TDockSite> Docks;
  TToolWindow* Toolbox = nullptr;
  // Made last: it shows what the controls above select.
  std::unique_ptr<TfrmPrev> frmPrev_;
};

}  // namespace sorel
