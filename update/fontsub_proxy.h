// The proxy dialog TfrmProxySelect.
#pragma once
#include <memory>
#include <optional>
#include <string>

#include "ui/services.h"

namespace sorel {

// The texts the dialog takes from the main window at each opening.
struct ProxyDialogTexts {
  std::string caption, host, port, badPort;  // RSProxyCaption, RSProxyHost, RSProxyPort, RSBadPort
  std::string okCaption, cancelCaption;       // the main window's btOK and btCancel
};

// The proxy the update check goes through.
struct ProxySettings {
  std::string host;  // as typed
  int port = 80;
};

class TfrmProxySelect {
 public:
  static constexpr int kClientWidth = 332;
  static constexpr int kClientHeight = 81;

  TfrmProxySelect(Platform& platform, const ProxyDialogTexts& texts, const ProxySettings& current);
  TfrmProxySelect(const TfrmProxySelect&) = delete;
  TfrmProxySelect& operator=(const TfrmProxySelect&) = delete;

  // Shows the dialog, the stay-on-top windows made ordinary meanwhile. The settings as typed after
  // OK, nothing after Cancel.
  std::optional<ProxySettings> ShowModal();

 private:
  void FormCreate();
  // OK: closes the dialog only for a port from 1 to 9999.
  void Button2Click();

  Platform& p_;
  std::string badPortText_;  // the bad-port message, in the language chosen (RSBadPort)
  std::unique_ptr<Form> self_;
  std::unique_ptr<Edit> EditHost;
  std::unique_ptr<Edit> EditPort;
  std::unique_ptr<Label> Label1;
  std::unique_ptr<Label> Label2;
  std::unique_ptr<Button> Button1;
  std::unique_ptr<Button> Button2;
  std::unique_ptr<Image> Image1;
};

}  // namespace sorel
