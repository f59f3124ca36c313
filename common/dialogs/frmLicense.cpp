#include "common/dialogs/frmLicense.h"

#include "common/AddinFolder.h"
#include "common/AddinHost.h"
#include "common/AddinState.h"
#include "common/Log.h"
#include "common/Messages.h"
#include "platform/core/RuntimeError.h"
#include "platform/shell/Shell.h"

namespace tavo {
namespace {

struct Layout {
  const char* picture;
  float top, height;
  float uploadTop, uploadLeft, cancelTop, cancelLeft;
  float importantTop, noticeTop, noticeEndTop, warningTop;
};

constexpr Layout kCollapsed{"licenseimg1.gif", 3405, 3750, 1440, 5280, 1440, 6600, 2270, 2625, 2850, 3300};
constexpr Layout kExpanded{"licenseimg4.gif", 2400, 7950, 5640, 2400, 5640, 3720, 6295, 6651, 6889, 7364};

// A picture of the installation, or none when the file is missing: a missing picture must not
// keep the dialog from opening.
std::string InstalledPicture(std::string_view file) {
  try {
    return forms::LoadPicture(AddinFolder() + "\\images\\" + std::string(file));
  } catch (const platform::RuntimeError&) {
    return {};
  }
}

}  // namespace

std::string Licence::Url() const {
  return path.empty() ? std::string("NA") : std::string(kCreativeCommonsBase) + std::string(path);
}

frmLicense::frmLicense(AddinState& state) : Dialog(state, "frmLicense", "Publish in Tavo Share") {
  Check1.onClick = [this] { Check1_Click(); };
  Command1.onClick = [this] { Command1_Click(); };
  Command2.onClick = [this] { Cancel(); };
  OnEscape({&Command1, &Command2}, [this] { Cancel(); });
  Label17.onClick = [this] { Open(kCreativeCommonsHome); };
  Label8.onClick = [this] { Open(state_.params.termsUrl); };
  Label20.onClick = Label8.onClick;
}

std::array<const forms::OptionButton*, 8> frmLicense::Options() const {
  return {&Option1, &Option2, &Option3, &Option4, &Option5, &Option6, &Option7, &Option8};
}

void frmLicense::Design() {
  SetWidth(7800);
  for (forms::Label* link : {&Label8, &Label17, &Label20}) {
    link->SetForeColor(forms::kBlue);
    link->SetFontUnderline(true);
  }
}

void frmLicense::Form_Load() {
  TranslateCaptions({{&Label1, "gfrmlicense_Label1"},   {&Label2, "gfrmlicense_Label2"},
                     {&Label3, "gfrmlicense_Label3"},   {&Label4, "gfrmlicense_Label4"},
                     {&Label6, "gfrmlicense_Label6"},   {&Label7, "gfrmlicense_Label7"},
                     {&Label8, "gfrmlicense_Label8"},   {&Label10, "gfrmlicense_Label10"},
                     {&Label11, "gfrmlicense_Label11"}, {&Label12, "gfrmlicense_Label12"},
                     {&Label13, "gfrmlicense_Label13"}, {&Label15, "gfrmlicense_label15"},
                     {&Label16, "gfrmlicense_label16"}, {&Label17, "gfrmlicense_label17"},
                     {&Label18, "gfrmlicense_label18"}, {&Label19, "gfrmlicense_label19"},
                     {&Label20, "gfrmlicense_label20"}, {&Command1, "gfrmlicense_Command1"},
                     {&Command2, "gfrmlicense_Command2"}});
  Image2.SetPicture(InstalledPicture("licensenotice.gif"));
  Image3.SetPicture(InstalledPicture("licensewarning.gif"));
  ApplyLayout(false);
  Option1.SetValue(true);
}

void frmLicense::ApplyLayout(bool expanded) {
  const Layout& l = expanded ? kExpanded : kCollapsed;
  SetPicture(InstalledPicture(l.picture));
  SetTop(l.top);
  SetHeight(l.height);
  for (forms::Control* c : std::initializer_list<forms::Control*>{
           &Option1, &Option2, &Option3, &Option4, &Option5, &Option6, &Option7, &Option8, &Label1, &Label2,
           &Label3, &Label4, &Label10, &Label11, &Label12, &Label13})
    c->SetVisible(expanded);
  Command1.SetEnabled(expanded);
  Command1.SetTop(l.uploadTop), Command1.SetLeft(l.uploadLeft);
  Command2.SetTop(l.cancelTop), Command2.SetLeft(l.cancelLeft);
  Label15.SetTop(l.importantTop);
  for (forms::Control* c : std::initializer_list<forms::Control*>{&Image2, &Label16, &Label17}) c->SetTop(l.noticeTop);
  Label18.SetTop(l.noticeEndTop);
  for (forms::Control* c : std::initializer_list<forms::Control*>{&Image3, &Label19, &Label20}) c->SetTop(l.warningTop);
}

void frmLicense::Check1_Click() {
  const bool ticked = Check1.Value() == 1;
  ApplyLayout(ticked);
  if (!ticked) Option1.SetValue(true);
}

const Licence& frmLicense::ChosenLicence() const {
  const auto options = Options();
  for (std::size_t i = 0; i + 1 < options.size(); ++i)
    if (options[i]->Value()) return kLicences[i];
  return kLicences.back();
}

void frmLicense::Command1_Click() {
  const Licence& licence = ChosenLicence();
  Unload();
  bool published = false;
  std::string why;
  try {
    published = Host().PublishActiveDocument(std::string(licence.name), licence.Url(), std::string(licence.image));
  } catch (const platform::RuntimeError& e) {
    why = e.description();
  }
  if (published) return;
  ShowMessage(state_, "Document Add failed. Please try to 'Add' it again", 0);
  WriteLog(state_, "Error While Creating Document |" + why, "Error");
}

void frmLicense::Cancel() { CloseClearingStatus(); }

void frmLicense::Form_KeyPress(int& keyAscii) {
  if (keyAscii == forms::kKeyEscape) Cancel();
}

void frmLicense::Form_Unload(bool&) { Status(""); }

void frmLicense::Open(std::string_view url) {
  platform::shell::ShellExecuteA(this, "open", url, "", "", platform::shell::SW_SHOWNORMAL);
}

}  // namespace tavo
