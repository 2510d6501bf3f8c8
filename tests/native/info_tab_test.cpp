// The information tab: when the help page is read, where links and the link labels lead, the two
// toolbox buttons that go to the shell, F1; and where a followed link of a page leads.
#include <gtest/gtest.h>

#include "tests/support/form_fixture.h"
#include "toolkit/html/html_links.h"

namespace sorel::test {
namespace {

using Texts = std::vector<std::string>;
const char* const kExeFolder = "C:\\Program Files\\Sorel\\";

class InfoTab : public MainWindowTest {
 protected:
  HtmlViewer& Viewer() { return *p.ui.Find<HtmlViewer>("HT1"); }
  TabControl& Tabs() { return *p.ui.Find<TabControl>("Form1.PageControl1"); }
  Label& LabelNamed(const char* name) { return *p.ui.Find<Label>(name); }
};

TEST(Links, AreReadAgainstThePageShown) {
  const struct {
    const char *current, *target, *file, *place;
  } cases[] = {
      {"help/enindex.htm", "#context1030", "help/enindex.htm", "context1030"},
      {"help/enindex.htm", "./plindex.htm", "help/plindex.htm", ""},
      {"C:\\Sorel\\help/en.htm", "./pl/index.htm#top", "C:\\Sorel\\help\\pl\\index.htm", "top"},
      {"C:\\Sorel\\help\\en.htm", "../LangRes.ini", "C:\\Sorel\\LangRes.ini", ""},
      {"C:\\Sorel\\help\\en.htm", "../../../x.htm", "C:\\x.htm", ""},
      {"help/en.htm", "../../x.htm", "../x.htm", ""},
      {"help/en.htm", "C:\\other.htm", "C:\\other.htm", ""},
      {"en.htm", "./a/./b.htm#", "a/b.htm", ""},
  };
  for (const auto& c : cases) {
    const LinkTarget link = ResolveLink(c.current, c.target);
    EXPECT_EQ(link.file, c.file) << c.current << " " << c.target;
    EXPECT_EQ(link.place, c.place) << c.current << " " << c.target;
  }
}

// The page is read when the tab opens and it does not show the help page: once, again after a
// language moved the page, again after a followed link; never for the other tab.
TEST_F(InfoTab, HelpPageIsReadOnlyWhenTheTabShowsAnotherPage) {
  p.files.Put(std::string(kExeFolder) + "LangRes.ini", "[Polski]\r\nReadme=help/plindex.htm\r\n");
  Create();  // the Polish page is not there yet: the built-in one stays
  const std::string polish = std::string(kExeFolder) + "help/plindex.htm";
  const struct Step {
    const char* what;
    std::function<void()> act;
    Texts loads;
  } steps[] = {
      {"program tab", [&] { ShowPage(p.ui, Tabs(), 0); }, {}},
      {"opened", [&] { ShowPage(p.ui, Tabs(), 1); }, {"help/enindex.htm"}},
      {"opened again", [&] { ShowPage(p.ui, Tabs(), 0), ShowPage(p.ui, Tabs(), 1); }, {"help/enindex.htm"}},
      {"language",
       [&] {
         p.files.Put(std::string(kExeFolder) + "help\\plindex.htm", "<html>");
         form->ApplyLanguage("Polski"), ShowPage(p.ui, Tabs(), 1);
       },
       {"help/enindex.htm", polish}},
      {"a place", [&] { ClickLink(p.ui, Viewer(), "#context1080"), ShowPage(p.ui, Tabs(), 1); },
       {"help/enindex.htm", polish, polish + "#context1080"}},
      {"another page", [&] { ClickLink(p.ui, Viewer(), "./enindex.htm"), ShowPage(p.ui, Tabs(), 1); },
       {"help/enindex.htm", polish, polish + "#context1080", std::string(kExeFolder) + "help\\enindex.htm", polish}},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_EQ(PagesLoaded(Viewer()), s.loads) << s.what;
  }
}

// "." and "#" stay in the viewer; anything else, a blank or an empty target included, goes to
// the shell, and the viewer stays where it was.
TEST_F(InfoTab, LinksLeaveTheViewerUnlessTheyAreLocal) {
  Create();
  ShowPage(p.ui, Tabs(), 1);
  const struct {
    const char* target;
    bool toShell;
    const char* shown;
  } cases[] = {
      {"#context1050", false, "help/enindex.htm"},
      {"./plindex.htm", false, "help/plindex.htm"},
      {"http://www.velmora.example/", true, "help/plindex.htm"},
      {"mailto:sorel@velmora.example", true, "help/plindex.htm"},
      {" ./enindex.htm", true, "help/plindex.htm"},
      {"", true, "help/plindex.htm"},
      {"enindex.htm", true, "help/plindex.htm"},
  };
  for (const auto& c : cases) {
    p.shell.opened.clear();
    ClickLink(p.ui, Viewer(), c.target);
    EXPECT_EQ(p.shell.opened, c.toShell ? Texts{c.target} : Texts{}) << c.target;
    EXPECT_EQ(Viewer().CurrentFile(), c.shown) << c.target;
  }
}

// The link labels open their captions, also after a language changed them; the toolbox buttons
// open the fonts folder (nothing when the shell has none) and the language file.
TEST_F(InfoTab, LinkLabelsAndToolboxButtonsGoToTheShell) {
  p.files.Put(std::string(kExeFolder) + "LangRes.ini", "[E]\r\nMailTo=help@example.org\r\nURLLink=http://example.org/\r\n");
  Create();
  EXPECT_TRUE(LabelIsLink(LabelNamed("MailTo")) && LabelIsLink(LabelNamed("URLLink")));
  const struct {
    const char* what;
    std::function<void()> act;
    Texts opened;
  } steps[] = {
      {"mail", [&] { ClickLabel(p.ui, LabelNamed("MailTo")); }, {"mailto:sorel@velmora.example"}},
      {"web", [&] { ClickLabel(p.ui, LabelNamed("URLLink")); }, {"http://www.velmora.example/sorel/"}},
      {"after a language",
       [&] { form->ApplyLanguage("E"), ClickLabel(p.ui, LabelNamed("MailTo")), ClickLabel(p.ui, LabelNamed("URLLink")); },
       {"mailto:help@example.org", "http://example.org/"}},
      {"fonts", [&] { Click(p.ui, Btn("btOpenFontsFolder")); }, {"C:\\WINDOWS\\Fonts"}},
      {"no fonts folder", [&] { p.shell.fontsFolder.clear(), Click(p.ui, Btn("btOpenFontsFolder")); }, {}},
      {"language file", [&] { Click(p.ui, Btn("btLangResEdit")); }, {std::string(kExeFolder) + "LangRes.ini"}},
  };
  for (const auto& s : steps) {
    p.shell.opened.clear();
    s.act();
    EXPECT_EQ(p.shell.opened, s.opened) << s.what;
  }
  // The web link keeps its right edge where its caption grew.
  const Rect web = LabelNamed("URLLink").Bounds(), title = LabelNamed("LabelHTTP").Bounds();
  EXPECT_TRUE(web.left + web.width == 386 && title.left + title.width == 386);
}

// F1 brings the information tab forward at the topic of the context.
TEST_F(InfoTab, HelpKeyShowsTheTopicOfTheContext) {
  Create();
  for (int context : {1030, 1070}) {
    p.app.OnHelp(context);
    EXPECT_EQ(Tabs().ActivePage(), 1);
    EXPECT_EQ(PlaceShown(Viewer()), "context" + std::to_string(context));
  }
  EXPECT_EQ(Viewer().CurrentFile(), "help/enindex.htm");
}

}  // namespace
}  // namespace sorel::test
