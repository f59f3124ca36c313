#pragma once
// The screen the dialogs are placed on, in twips: 1024 x 768 pixels at 15 twips per pixel
// unless set otherwise (a host or a test may set another size).
namespace platform::forms {

class Screen {
 public:
  static float Width();
  static float Height();
  static float TwipsPerPixelX();
  static float TwipsPerPixelY();
  static void SetSize(float widthTwips, float heightTwips);
  // Back to 1024 x 768 pixels.
  static void Reset();
};

}  // namespace platform::forms
