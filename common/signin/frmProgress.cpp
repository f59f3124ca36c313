#include "common/signin/frmProgress.h"

#include "common/Messages.h"

namespace tavo {

frmProgress::frmProgress() : Form("frmProgress") {}

void frmProgress::Design() {
  Move(0, 0, 4800, 1500);
  Label1.Move(240, 180, 4200, 255);
  ProgressBar1.Move(240, 540, 4200, 255);
  Label2.Move(240, 900, 4200, 255);
}

void frmProgress::Form_Load() {
  CenterForm(*this);
  SetCaption("");
}

void frmProgress::SetText(std::string_view text) {
  Label1.SetCaption(text);
  if (onProgress) onProgress();
}

void frmProgress::SetValue(long value) {
  ProgressBar1.SetValue(value);
  if (onProgress) onProgress();
}

}  // namespace tavo
