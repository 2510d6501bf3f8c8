// The main window's sample line, the sample-set menu and the preview window's toggle.
#include "app/fontsub.h"
#include "lang/langres.h"
#include "preview/sample_sets.h"

namespace sorel {

void TForm1::LoadSampleSets(const std::string& chosenName) {
  const std::string file = LangResPath(p_.system);
  const SampleSets sets = ListSampleSets(p_.profiles, file, chosenName);
  MenuItem& items = pmSamplez->Items();
  items.Clear();
  for (const SampleSetItem& set : sets.items) {
    MenuItem& item = items.Add("", set.caption);  // made at run time: no name of its own
    item.SetLiteralCaption(true);  // a set's name is shown as it stands
    item.Tag = set.tag;
    item.SetChecked(set.checked);
    item.OnClick = [this](MenuItem& sender) { puSampleClick(sender); };
  }
  // Not emptied first: keys only an earlier set had keep their texts.
  if (!sets.chosenSection.empty()) ReadSection(p_.profiles, file, sets.chosenSection, sampleTexts_);
}

void TForm1::puSampleClick(MenuItem& sender) {
  const std::string caption = sender.Caption();  // the menu is rebuilt below
  if (!settings_.SetSampleSet(caption)) return;
  LoadSampleSets(caption);
  TVFontsChange(TVFonts->Selected());
}

void TForm1::btSampleSelectClick() { pmSamplez->Popup(*btSampleSelect, 0, btSampleSelect->Bounds().height); }

// The sample area offers the same sets where it is right-clicked.
void TForm1::SB1ContextPopup(int x, int y) { pmSamplez->Popup(*SB1, x, y); }

void TForm1::ShowSample(NodeId node) {
  std::string face;
  int charset = 0;
  if (const TFontStruct* record = RecordAt(node)) {
    face = record->FaceName;
    charset = record->Charset;
  } else {
    face = TVFonts->Text(node);  // a face node shows the face in character set 0
  }
  const std::string sample = SampleFor(sampleTexts_, charset);
  LabelSample->SetFont(FontSpec{face, static_cast<std::uint8_t>(charset), kSamplePoints});
  LabelSample->SetCaption(sample);
  if (frmPrev_) frmPrev_->ShowFont(sample, face, static_cast<std::uint8_t>(charset));
}

void TForm1::btPreviewClick() {
  frmPrev_->ApplyTexts();
  Form& preview = frmPrev_->Self();
  preview.SetVisible(!preview.Visible());
}

void TForm1::PreviewShown(bool shown) { btPreview->SetDown(shown); }

}  // namespace sorel
