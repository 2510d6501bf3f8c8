// The main window's update check: the component WWWCheck, the check command and the proxy dialog.
#include "app/fontsub.h"
#include "app/maker_key.h"
#include "app/version.h"
#include "toolkit/http/http_client.h"
#include "update/WebFileInfo.h"
#include "update/fontsub_proxy.h"

#ifndef SOREL_HOME_URL
#error "SOREL_HOME_URL must name the update information page (app/CMakeLists.txt)"
#endif

namespace sorel {

// The component as the main window configures it; the page's address is fixed when the program
// is built, so that nobody but its builder can point the program at another page.
void TForm1::CreateUpdateCheck() {
  WWWCheck = std::make_unique<TWebFileInfo>([] { return FontSpec{"MS Sans Serif", 0, 8}; });
  WWWCheck->Attach(p_, [this] { return std::make_unique<THttpCli>(p_.sockets); });
  WWWCheck->SetCurrentVersion("1.1.1.13");
  WWWCheck->SetHomeURL(SOREL_HOME_URL);
  TWfiTags& tags = WWWCheck->InfoTags();
  tags.ReadMeTag = "zel-readme";
  tags.VersionTag = "zel-version";
  tags.DownloadTag = "zel-url";
  tags.SignatureTag = "zel-signature";
  WWWCheck->SetPublicKey(MakerPublicKey());
  WWWCheck->OnEndQuery = [this] { return EndForUpdate(); };
  WWWCheck->SetOptions({TWfiOption::wfioDisplayUI, TWfiOption::wfioDisplayReadMe, TWfiOption::wfioRunUpdate,
                        TWfiOption::wfioExitDuringUpdate});
}

void TForm1::btWebUpdateClick() {
  WWWCheck->SetCurrentVersion(GetExeVersion(p_.system));
  WWWCheck->SignatureTexts.notSigned = UiText("WSUpdateNotSigned");
  WWWCheck->SignatureTexts.savedUnchecked = [this](const std::string& path) {
    return TextWithName("WSUpdateSaved", path);
  };
  WWWCheck->CheckForUpdate();
}

// The installer is started and the program ends without closing its window, so the close
// question comes here; the restart is not offered, since the installer runs first.
bool TForm1::EndForUpdate() {
  if (!ConfirmEnd(false)) return false;
  SaveMainPlacement();
  return true;
}

void TForm1::puWWWProxyClick() {
  ProxyDialogTexts texts;
  texts.caption = UiText("RSProxyCaption");
  texts.host = UiText("RSProxyHost");
  texts.port = UiText("RSProxyPort");
  texts.badPort = UiText("RSBadPort");
  texts.okCaption = btOK->Caption();
  texts.cancelCaption = btCancel->Caption();
  TfrmProxySelect dialog(p_, texts, {WWWCheck->ProxyHost(), WWWCheck->ProxyPort()});
  if (auto chosen = dialog.ShowModal()) {
    WWWCheck->SetProxyHost(chosen->host);
    WWWCheck->SetProxyPort(chosen->port);
  }
}

}  // namespace sorel
