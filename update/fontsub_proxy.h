// The proxy dialog TfrmProxySelect and the command that opens it.
#pragma once
#include <memory>
#include <string>

#include "ui/services.h"

namespace sorel {

class TWebFileInfo;

class TfrmProxySelect {
 public:
  static constexpr int kClientWidth = 332;
  static constexpr int kClientHeight = 81;

  explicit TfrmProxySelect(Platform& platform);
  void FormCreate();
  // OK: closes the dialog only for a port from 1 to 9999.
  void Button2Click();

  Form& Self() { return *self_; }
  std::unique_ptr<Form> self_;
  std::unique_ptr<Edit> EditHost;
  std::unique_ptr<Edit> EditPort;
  std::unique_ptr<Label> Label1;
  std::unique_ptr<Label> Label2;
  std::unique_ptr<Button> Button1;
  std::unique_ptr<Button> Button2;
  std::unique_ptr<Image> Image1;
  // The bad-port message, in the language chosen (RSBadPort).
  std::string badPortText = "Zły port";

 private:
  Platform& p_;
};

// The texts the dialog takes from the main window at each opening.
struct ProxyDialogTexts {
  std::string caption, host, port, badPort;  // RSProxyCaption, RSProxyHost, RSProxyPort, RSBadPort
  std::string okCaption, cancelCaption;       // the main window's btOK and btCancel
};

// Shows the dialog with the component's proxy settings; OK stores the host as typed and the port.
void EditProxySettings(Platform& platform, TWebFileInfo& check, const ProxyDialogTexts& texts);

}  // namespace sorel
