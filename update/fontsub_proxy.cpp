// The proxy dialog TfrmProxySelect.
#include "update/fontsub_proxy.h"

#include "update/web_page.h"

namespace sorel {

TfrmProxySelect::TfrmProxySelect(Platform& platform, const ProxyDialogTexts& texts, const ProxySettings& current)
    : p_(platform), badPortText_(texts.badPort) {
  self_ = p_.ui.CreateForm("frmProxySelect", FormStyle::Dialog);
  self_->SetCaption("frmProxySelect");
  self_->SetClientSize(kClientWidth, kClientHeight);
  self_->CenterOnScreen();
  // Created in tab order: a label's access key moves the focus to the control after it.
  Label1 = p_.ui.CreateLabel(*self_, "Label1");
  Label1->SetCaption("Host:");
  Label1->SetBounds({44, 4, 25, 13});
  EditHost = p_.ui.CreateEdit(*self_, "EditHost");
  EditHost->SetBounds({44, 20, 205, 21});
  Label2 = p_.ui.CreateLabel(*self_, "Label2");
  Label2->SetCaption("Port");
  Label2->SetBounds({260, 4, 19, 13});
  EditPort = p_.ui.CreateEdit(*self_, "EditPort");
  EditPort->SetBounds({260, 20, 65, 21});
  Button1 = p_.ui.CreateButton(*self_, "Button1");
  Button1->SetCaption("&Zaniechaj");
  Button1->SetBounds({252, 52, 75, 25});
  Button1->ModalResult = kModalCancel;
  self_->SetCancelButton(Button1.get());
  Button2 = p_.ui.CreateButton(*self_, "Button2");
  Button2->SetCaption("&OK");
  Button2->SetBounds({172, 52, 75, 25});
  Button2->OnClick = [this] { Button2Click(); };
  self_->SetDefaultButton(Button2.get());
  Image1 = p_.ui.CreateImage(*self_, "Image1");
  Image1->SetBounds({4, 4, 32, 32});
  FormCreate();
  // The language's texts over the design's.
  Button1->SetCaption(texts.cancelCaption);
  Button2->SetCaption(texts.okCaption);
  EditHost->SetText(current.host);
  EditPort->SetText(std::to_string(current.port));
  self_->SetCaption(texts.caption);
  Label1->SetCaption(texts.host);
  Label2->SetCaption(texts.port);
}

void TfrmProxySelect::FormCreate() { Image1->ShowIcon("MAINICON"); }

void TfrmProxySelect::Button2Click() {
  if (ValidProxyPort(EditPort->Text())) {
    self_->SetModalResult(kModalOk);
    return;
  }
  p_.dialogs.MessageBox(badPortText_, badPortText_, Buttons::Ok, Icon::Warning);
}

std::optional<ProxySettings> TfrmProxySelect::ShowModal() {
  int result;
  {
    // Stay-on-top windows would cover the dialog; they come back on every path.
    struct Topmosts {
      Application& app;
      explicit Topmosts(Application& a) : app(a) { app.NormalizeTopmosts(); }
      ~Topmosts() { app.RestoreTopmosts(); }
    } ordinary(p_.app);
    result = self_->ShowModal();
  }
  if (result != kModalOk) return std::nullopt;
  return ProxySettings{EditHost->Text(), ParseIntegerText(EditPort->Text()).value_or(80)};
}

}  // namespace sorel
