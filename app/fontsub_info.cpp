// The information tab: version, about text, the two links, the help page; the toolbox buttons
// that hand the fonts folder and the language file to the shell; F1.
#include <algorithm>

#include "app/fontsub.h"
#include "platform/text.h"
#include "lang/langres.h"

namespace sorel {

namespace {

// The maker's addresses, fixed when the program is built.
constexpr const char* kMailAddress = "sorel@velmora.example";
constexpr const char* kWebPage = "http://www.velmora.example/sorel/";
constexpr int kRightEdge = 386;

const char* const kAboutText =
    SOREL_CAPTION "\n"
    "Edytor tablicy podstawień czcionek systemu Windows\n"
    "Copyright © 2026 Velmora. Wszelkie prawa zastrzeżone.\n"
    "Program jest rozpowszechniany bezpłatnie.\n"
    "Podziękowania dla tłumaczy plików językowych.";

}  // namespace

void TForm1::CreateInformationTab() {
  Container& page = *TabSheet2;
  Image2 = p_.ui.CreateImage(page, "Image2");
  Image2->SetBounds({4, 4, 32, 32});
  auto label = [&](const char* name, const std::string& caption, int left, int top) {
    auto made = p_.ui.CreateLabel(page, name);
    made->SetBounds({left, top, 0, 0});
    made->SetFitToText(true);
    made->SetCaption(caption);
    return made;
  };
  Label2 = label("Label2", "", 4, 40);
  Label2->SetHint("Wersja programu.");
  LabelAbout1 = p_.ui.CreateLabel(page, "LabelAbout1");
  LabelAbout1->SetBounds({52, 3, 300, 65});
  LabelAbout1->SetCaption(kAboutText);
  LabelContact = label("LabelContact", "Kontakt serwisowy pod adresem:", 4, 76);
  LabelHTTP = label("LabelHTTP", "Strona internetowa:", 0, 76);
  auto link = [&](const char* name, const char* caption, const char* hint, int left) {
    auto made = label(name, caption, left, 90);
    made->SetFont(FontSpec{"MS Sans Serif", 0, 8, false, false, true});
    made->SetTransparent(true);
    made->SetLink(true);
    made->SetHint(hint);
    return made;
  };
  MailTo = link("MailTo", kMailAddress, "Wyślij do mnie list...", 3);
  MailTo->OnClick = [this] { MailToClick(); };
  URLLink = link("URLLink", kWebPage, "Odwiedź moją stronę...", 0);
  URLLink->OnClick = [this] { URLLinkClick(); };
  KeepRightEdges();
  HT1 = p_.ui.CreateHtmlViewer(page, "HT1");
  // Within the page where it is smaller than the design's.
  const Rect area = TabSheet2->Bounds();
  HT1->SetBounds({4, 108, area.width > 0 ? std::min(385, area.width - 8) : 385,
                  area.height > 0 ? std::min(201, area.height - 112) : 201});
  HT1->OnHotSpotClick = [this](const std::string& target, bool& handled) { HT1HotSpotClick(target, handled); };
}

// The design's edge, or the page's where the page is narrower than the design.
void TForm1::KeepRightEdges() {
  const int pageWidth = TabSheet2->Bounds().width;
  const int edge = pageWidth > 0 ? std::min(kRightEdge, pageWidth - 4) : kRightEdge;
  for (Label* right : {LabelHTTP.get(), URLLink.get()}) {
    if (!right) continue;
    Rect r = right->Bounds();
    r.left = edge - r.width;
    right->SetBounds(r);
  }
}

// The page is read the first time the tab opens and whenever what it shows is not the help page
// any more; otherwise it keeps its place.
void TForm1::PageControl1Change() {
  if (PageControl1->ActivePage() != 1) return;
  if (!AsciiEqualIgnoreCase(HT1->CurrentFile(), texts_.HelpPagePath)) HT1->LoadFromFile(texts_.HelpPagePath);
}

// Places on the page and local pages written with a leading "." stay in the viewer; everything
// else goes to the shell.
void TForm1::HT1HotSpotClick(const std::string& target, bool& handled) {
  if (!target.empty() && (target[0] == '.' || target[0] == '#')) return;
  p_.shell.Open(target);
  handled = true;
}

void TForm1::MailToClick() { p_.shell.Open("mailto:" + MailTo->Caption()); }

void TForm1::URLLinkClick() { p_.shell.Open(URLLink->Caption()); }

void TForm1::btOpenFontsFolderClick() {
  const std::string folder = p_.shell.FontsFolder();
  if (!folder.empty()) p_.shell.Open(folder);
}

void TForm1::btLangResEditClick() { p_.shell.Open(LangResPath(p_.system)); }

// Help is our own HTML page: each context number has a place of its own on the language's page.
void TForm1::ShowHelpTopic(int context) {
  PageControl1->SetActivePage(1);
  HT1->LoadFromFile(texts_.HelpPagePath + "#context" + std::to_string(context));
}

}  // namespace sorel
