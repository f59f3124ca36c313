#pragma once
// The small progress window of the sign-in and of the HTML export: a text, a bar and a count.
// It is shown modeless and driven by its caller while the caller works on the host's thread,
// so nothing redraws it in between; onProgress lets a host print it at each step.
#include <functional>
#include <string_view>

#include "platform/forms/Controls.h"
#include "platform/forms/Form.h"

namespace tavo {

class frmProgress : public platform::forms::Form {
 public:
  frmProgress();

  platform::forms::Label Label1{*this, "Label1"};
  platform::forms::ProgressBar ProgressBar1{*this, "ProgressBar1"};
  platform::forms::Label Label2{*this, "Label2"};

  // The text of Label1 and the value of the bar, each change followed by onProgress.
  void SetText(std::string_view text);
  void SetValue(long value);
  std::function<void()> onProgress;

 protected:
  void Design() override;
  void Form_Load() override;
};

}  // namespace tavo
