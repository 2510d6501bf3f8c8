// The main window's save of the user's choices to the system, the restart offer, and the restore that discards them.
#include <string>

#include "app/fontsub.h"
#include "engine/restart_system.h"
#include "platform/errors.h"

namespace sorel {

void TForm1::ApplyChanges(bool offerRestart) {
  codePage_.CheckWrite();  // a mapping that cannot be written fails the save before anything is written
  edits_.ComposeTable(texts_.DefLangVal);
  store_->WriteTable(edits_.Table());
  codePage_.Write();
  edits_.ClearModified();
  if (offerRestart && p_.dialogs.MessageBox(UiText("WSRestartText"), UiText("WSRestartTitle"), Buttons::YesNo, Icon::Question) ==
      Answer::Yes) {
    // The table is saved either way: a refused restart is said, and the program still closes.
    std::string refusal;
    if (!RestartSystem(p_.restart, refusal)) p_.app.ShowException(PlatformError(refusal));
  }
}

void TForm1::RestoreTable() {
  // A restore that cannot read the table leaves the edits on screen: they stay marked, and the
  // restore can be tried again.
  const bool wasModified = edits_.Modified();
  const bool restoreWasEnabled = btRestore->Enabled();
  edits_.ClearModified();
  btRestore->SetEnabled(false);
  {
    // A failing step must not leave the selection handler switched off for the rest of the run.
    struct RebuildingScope {
      bool& flag;
      explicit RebuildingScope(bool& f) : flag(f) { flag = true; }
      ~RebuildingScope() { flag = false; }
    } rebuilding(Rebuilding);
    try {
      edits_.RereadTable(*store_);
    } catch (...) {
      if (wasModified) edits_.MarkModified();
      btRestore->SetEnabled(restoreWasEnabled);
      throw;
    }
    BuildFontTree(true);
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
