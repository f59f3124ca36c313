#include "platform/forms/ScreenMetrics.h"

namespace platform::forms {
namespace {
constexpr float kTwipsPerPixel = 15;
constexpr float kDefaultWidth = 1024 * kTwipsPerPixel;
constexpr float kDefaultHeight = 768 * kTwipsPerPixel;
float g_width = kDefaultWidth;
float g_height = kDefaultHeight;
}  // namespace

float Screen::Width() { return g_width; }
float Screen::Height() { return g_height; }
float Screen::TwipsPerPixelX() { return kTwipsPerPixel; }
float Screen::TwipsPerPixelY() { return kTwipsPerPixel; }

void Screen::SetSize(float widthTwips, float heightTwips) {
  g_width = widthTwips;
  g_height = heightTwips;
}

void Screen::Reset() { SetSize(kDefaultWidth, kDefaultHeight); }

}  // namespace platform::forms
