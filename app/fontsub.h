// The main window TForm1: its design, creation order, close question and the state it owns.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "engine/subst_table.h"
#include "platform/platform.h"

namespace sorel {

class TForm1 {
 public:
  // Builds the window's design and runs its creation step.
  explicit TForm1(Platform& platform);
  // Releases the working state in the fixed order.
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  static constexpr int kClientWidth = 400;
  static constexpr int kClientHeight = 392;
  static constexpr const char* kCaption = "Sorel Assistant v. 1.1";

  // Event handlers, named control plus event.
  void FormShow();
  void FormCloseQuery(bool& canClose);
  void btOKClick();
  void btCancelClick();

  // Writes the user's choices to the system. Errors from the layers propagate to the caller.
  void ApplyChanges();
  // The current language's text for key, or the built-in text until a language provides one.
  std::string UiText(const std::string& key) const;

  Form& Self() { return *self_; }

  // Working state, shared by the parts of the main window.
  bool IsNT = false;
  bool Modified = false;
  bool Rebuilding = false;
  std::vector<std::string> SampleTexts;
  std::vector<std::string> FontNames;
  std::vector<std::string> FaceScripts;
  std::vector<std::string> ScriptNames;
  std::vector<std::string> ScriptSuffixes;
  std::vector<std::string> UiTexts;
  sorel::SubstTable SubstTable;  // the table in memory (type and field share the name)
  std::string SampleSet;  // "SampleSet1" as read at start

  // Controls, by their names.
  std::unique_ptr<Form> self_;
  std::unique_ptr<TabControl> PageControl1;
  TabSheet* TabSheet1 = nullptr;
  TabSheet* TabSheet2 = nullptr;
  std::unique_ptr<Panel> Dock971, Panel1, Dock972, SB1;
  std::unique_ptr<Image> Image1, Image2;
  std::unique_ptr<Label> LBDescription, Label2, OsVer;
  std::unique_ptr<TreeView> TVFonts;
  std::unique_ptr<Button> btRestore, btOK, btCancel;
  std::unique_ptr<StatusBar> StatusBar1;

 private:
  void CreateDesign();
  void CreateProgramTab();
  void CreateInformationTab();
  void FormCreate();
  void OpenProgramKey();
  void ReadTable();
  void WriteTable();
  void ShowHint();

  Platform& p_;
  std::unique_ptr<TableStore> store_;
};

}  // namespace sorel
