#include "common/dialogs/frmLicense.h"

#include "common/dialogs/tests/DialogTest.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/forms/Operator.h"
#include "platform/shell/Shell.h"

namespace tavo {
namespace {

using Strings = std::vector<std::string>;
using test::RenderedCaption;

class LicenseTest : public test::DialogTest {
 protected:
  frmLicense& picker() { return dialogs().frmLicense; }
  void Show(const Strings& script) {
    op.On("frmLicense", script);
    picker().Show(forms::ShowMode::Modal);
  }
  static std::string Sent(const std::string& name, const std::string& url, const std::string& image) {
    return "PublishActiveDocument " + name + " | " + url + " | " + image;
  }
};

TEST_F(LicenseTest, UploadIsDisabledUntilTheAgreementIsTicked) {
  EXPECT_THROW(Show({"click Upload"}), forms::OperatorError);
  const std::string shown = op.LastRendering("frmLicense");
  EXPECT_NE(shown.find("Command1  \"Upload\"  (disabled)"), std::string::npos) << shown;
  EXPECT_EQ(shown.find("Option1"), std::string::npos);  // the choice is folded away
  picker().Unload();
  EXPECT_TRUE(host.operations.empty());
}

TEST_F(LicenseTest, UntickingGoesBackToAllRightsReserved) {
  Show({"check Check1", "option Option7", "uncheck Check1", "check Check1", "click Upload"});
  EXPECT_EQ(host.operations, Strings{Sent("All Rights Reserved", "NA", "/images/allrightsreserved.gif")});
  EXPECT_FALSE(picker().IsLoaded());
}

TEST_F(LicenseTest, EachChoiceSendsItsLicence) {
  const std::string cc = "http://creativecommons.org/license/";
  const Strings expected = {
      Sent("All Rights Reserved", "NA", "/images/allrightsreserved.gif"),
      Sent("Attribution", cc + "by/3.0/", "/images/l_by.gif"),
      Sent("Attribution-No Derivative Works", cc + "by-nd/3.0/", "/images/l_by_nd.gif"),
      Sent("Attribution-Noncommercial-No Derivative Works", cc + "by-nc-nd/3.0/", "/images/l_by_nc_nd.gif"),
      Sent("Attribution-Noncommercial", cc + "by-nc/3.0/", "/images/l_by_nc.gif"),
      Sent("Attribution-Noncommercial-Share Alike", cc + "by-nc-sa/3.0/", "/images/l_by_nc_sa.gif"),
      Sent("Attribution-Share Alike", cc + "by-sa/3.0/", "/images/l_by_sa.gif"),
      Sent("Public Domain", cc + "publicdomain/", "/images/l_publicdomain.gif"),
  };
  for (int i = 1; i <= 8; ++i) Show({"check Check1", "option Option" + std::to_string(i), "click Command1"});
  EXPECT_EQ(host.operations, expected);
}

TEST_F(LicenseTest, TranslatedLabelsButTheLicenceGoesOutInEnglish) {
  Use(kSheetParameters, "chi_ch");
  Show({"check Check1", "option Option7", "click Command1"});
  EXPECT_EQ(host.operations, Strings{Sent("Attribution-Share Alike", "http://creativecommons.org/license/by-sa/3.0/",
                                          "/images/l_by_sa.gif")});
  const std::string shown = SeenBefore("click Command1");
  EXPECT_EQ(RenderedCaption(shown, "Label1"), Shown("gfrmlicense_Label1"));
  EXPECT_EQ(RenderedCaption(shown, "Label12"), Shown("gfrmlicense_Label12"));
  EXPECT_EQ(RenderedCaption(shown, "Label15"), Shown("gfrmlicense_label15"));
  EXPECT_EQ(RenderedCaption(shown, "Label20"), Shown("gfrmlicense_label20"));
  EXPECT_EQ(RenderedCaption(shown, "Command1"), Shown("gfrmlicense_Command1"));
  EXPECT_NE(RenderedCaption(shown, "Label12"), "Attribution-Share Alike");
}

TEST_F(LicenseTest, AFailedPublishIsReportedAfterThePickerHasClosed) {
  host.publishResult = false;
  op.On("frmMsgInfo", {"click Command1", "click Command1"});
  Show({"check Check1", "click Upload"});
  host.onOperation = [](const std::string&) { platform::Raise(5, "Invalid procedure call or argument"); };
  Show({"check Check1", "click Upload"});
  EXPECT_EQ(MessageTexts(), (Strings(2, "Document Add failed. Please try to 'Add' it again")));
  EXPECT_NE(Log().find("-- [Error] -- Error While Creating Document |\r\n"), std::string::npos) << Log();
  EXPECT_NE(Log().find("-- [Error] -- Error While Creating Document |Invalid procedure call or argument\r\n"),
            std::string::npos);
  EXPECT_EQ(ShownAndClosed(), (Strings{"+frmLicense", "-frmLicense", "+frmMsgInfo", "-frmMsgInfo", "+frmLicense",
                                       "-frmLicense", "+frmMsgInfo", "-frmMsgInfo"}));
}

TEST_F(LicenseTest, CancelEscAndTheLinks) {
  platform::shell::ClearShellExecuteRecords();
  for (const char* action : {"click Cancel", "key frmLicense esc", "key Command2 esc"}) {
    Show({"click Label17", "click Label8", "click Label20", action});
    EXPECT_FALSE(picker().IsLoaded()) << action;
    EXPECT_EQ(TakeStatus().back(), "") << action;
  }
  Show({"check Check1", "key Command1 esc"});
  EXPECT_TRUE(host.operations.empty());
  const auto opened = platform::shell::ShellExecuteRecords();
  ASSERT_EQ(opened.size(), 9u);
  EXPECT_EQ(opened[0].file, "http://creativecommons.org/");
  EXPECT_EQ(opened[1].file, "http://share.tavo.example/tos");
  EXPECT_EQ(opened[2].file, "http://share.tavo.example/tos");
  EXPECT_EQ(opened[0].operation, "open");
}

TEST_F(LicenseTest, TheTwoLayouts) {
  picker().Load();
  EXPECT_TRUE(platform::text::EndsWith(picker().Picture(), "\\images\\licenseimg1.gif")) << picker().Picture();
  EXPECT_EQ(picker().Top(), 3405);
  EXPECT_EQ(picker().Height(), 3750);
  EXPECT_EQ(picker().Command1.Top(), 1440);
  EXPECT_EQ(picker().Command2.Left(), 6600);
  EXPECT_EQ(picker().Label19.Top(), 3300);
  EXPECT_FALSE(picker().Image2.Picture().empty());
  picker().Check1.SetValue(1);
  EXPECT_TRUE(platform::text::EndsWith(picker().Picture(), "\\images\\licenseimg4.gif"));
  EXPECT_EQ(picker().Top(), 2400);
  EXPECT_EQ(picker().Height(), 7950);
  EXPECT_EQ(picker().Command1.Left(), 2400);
  EXPECT_EQ(picker().Command2.Top(), 5640);
  EXPECT_EQ(picker().Label15.Top(), 6295);
  EXPECT_EQ(picker().Label17.Top(), 6651);
  EXPECT_EQ(picker().Label18.Top(), 6889);
  EXPECT_EQ(picker().Image3.Top(), 7364);
  EXPECT_TRUE(picker().Option8.Visible());
  picker().Unload();
}

}  // namespace
}  // namespace tavo
