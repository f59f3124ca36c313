#pragma once
// The licence picker through which a document that is not online yet is published: tick the
// agreement, choose one of eight licences, Upload. Until the box is ticked the dialog is
// collapsed, the choice is "All Rights Reserved" and Upload is disabled.
#include <array>
#include <string_view>

#include "common/dialogs/Dialog.h"

namespace tavo {

// The Creative Commons addresses the licences point to.
inline constexpr std::string_view kCreativeCommonsHome = "http://creativecommons.org/";
inline constexpr std::string_view kCreativeCommonsBase = "http://creativecommons.org/license/";

struct Licence {
  std::string_view name;   // sent as it stands, whatever the labels show
  std::string_view path;   // behind the Creative Commons base; "" for none
  std::string_view image;
  std::string Url() const;  // "NA" for a licence without an address
};

// Option1 .. Option8, in order.
inline constexpr std::array<Licence, 8> kLicences{{
    {"All Rights Reserved", "", "/images/allrightsreserved.gif"},
    {"Attribution", "by/3.0/", "/images/l_by.gif"},
    {"Attribution-No Derivative Works", "by-nd/3.0/", "/images/l_by_nd.gif"},
    {"Attribution-Noncommercial-No Derivative Works", "by-nc-nd/3.0/", "/images/l_by_nc_nd.gif"},
    {"Attribution-Noncommercial", "by-nc/3.0/", "/images/l_by_nc.gif"},
    {"Attribution-Noncommercial-Share Alike", "by-nc-sa/3.0/", "/images/l_by_nc_sa.gif"},
    {"Attribution-Share Alike", "by-sa/3.0/", "/images/l_by_sa.gif"},
    {"Public Domain", "publicdomain/", "/images/l_publicdomain.gif"},
}};

class frmLicense : public Dialog {
 public:
  explicit frmLicense(AddinState& state);

  forms::CheckBox Check1{*this, "Check1"};
  forms::Label Label6{*this, "Label6", "I confirm that this document holds no abusive or unlawful content."};
  forms::Label Label7{*this, "Label7", "I agree to all other"};
  forms::Label Label8{*this, "Label8", "Terms of Service "};
  forms::OptionButton Option1{*this, "Option1"};
  forms::Label Label1{*this, "Label1", "All Rights Reserved"};
  forms::OptionButton Option2{*this, "Option2"};
  forms::Label Label2{*this, "Label2", "Attribution"};
  forms::OptionButton Option3{*this, "Option3"};
  forms::Label Label3{*this, "Label3", "Attribution-No Derivative Works"};
  forms::OptionButton Option4{*this, "Option4"};
  forms::Label Label4{*this, "Label4", "Attribution-Noncommercial-No Derivative Works"};
  forms::OptionButton Option5{*this, "Option5"};
  forms::Label Label10{*this, "Label10", "Attribution-Noncommercial"};
  forms::OptionButton Option6{*this, "Option6"};
  forms::Label Label11{*this, "Label11", "Attribution-Noncommercial-Share Alike"};
  forms::OptionButton Option7{*this, "Option7"};
  forms::Label Label12{*this, "Label12", "Attribution-Share Alike"};
  forms::OptionButton Option8{*this, "Option8"};
  forms::Label Label13{*this, "Label13", "Public Domain"};
  forms::CommandButton Command1{*this, "Command1", "Upload"};
  forms::CommandButton Command2{*this, "Command2", "Cancel"};
  forms::Label Label15{*this, "Label15", "Important:"};
  forms::Image Image2{*this, "Image2"};
  forms::Label Label16{*this, "Label16", "All files published in Tavo Share will be licensed under the specified"};
  forms::Label Label17{*this, "Label17", "Creative Commons"};
  forms::Label Label18{*this, "Label18",
                       "license. To license your document under other Creative Commons license, Please click on "
                       "Change link and select your own."};
  forms::Image Image3{*this, "Image3"};
  forms::Label Label19{*this, "Label19", "Dont upload file that you do not have copyright. Please read our "};
  forms::Label Label20{*this, "Label20", "Terms of Service "};

  // The licence of the first option chosen, Option8's when none of the others is.
  const Licence& ChosenLicence() const;

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_KeyPress(int& keyAscii) override;
  void Form_Unload(bool& cancel) override;

 private:
  void ApplyLayout(bool expanded);
  void Check1_Click();
  void Command1_Click();
  void Cancel();
  void Open(std::string_view url);
  std::array<const forms::OptionButton*, 8> Options() const;
};

}  // namespace tavo
