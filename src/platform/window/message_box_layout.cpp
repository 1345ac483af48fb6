// Where the parts of a message box go, in pixels: the icon at the top left, the wrapped text
// beside it, a row of equal buttons centred below.
#include "window/message_box.h"

#include <algorithm>
#include <cstring>

namespace kelmira::window {
namespace {

constexpr int kMargin = 12;
constexpr int kIconSize = 32;
constexpr int kIconGap = 12;     // between the icon and the text
constexpr int kButtonsGap = 16;  // between the text and the buttons
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonSpacing = 6;
constexpr int kMinClientWidth = 160;
constexpr int kMinWrapWidth = 240;

SIZE MeasureText(HDC dc, const char* text, int wrapWidth) {
  RECT r{0, 0, wrapWidth, 0};
  int length = static_cast<int>(std::strlen(text));
  if (length == 0) return SIZE{0, 0};
  DrawTextA(dc, text, length, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

int CaptionWidth(HDC dc, const char* caption) {
  SIZE size{0, 0};
  int length = static_cast<int>(std::strlen(caption));
  if (length > 0) GetTextExtentPoint32A(dc, caption, length, &size);
  return size.cx;
}

}  // namespace

MessageBoxLayout LayoutMessageBox(HDC dc, const char* text, bool hasIcon, int buttonCount, const char* caption,
                                  SIZE screen) {
  MessageBoxLayout out;
  const int wrapWidth = std::max(kMinWrapWidth, static_cast<int>(screen.cx) * 3 / 8);
  const SIZE textSize = MeasureText(dc, text, wrapWidth);
  const int textLeft = kMargin + (hasIcon ? kIconSize + kIconGap : 0);
  const int bodyHeight = std::max(hasIcon ? kIconSize : 0, static_cast<int>(textSize.cy));
  const int rowWidth = buttonCount * kButtonWidth + (buttonCount - 1) * kButtonSpacing;

  int width = std::max({textLeft + static_cast<int>(textSize.cx) + kMargin, rowWidth + 2 * kMargin,
                        CaptionWidth(dc, caption) + 2 * kMargin, kMinClientWidth});
  const int buttonsTop = kMargin + bodyHeight + kButtonsGap;
  out.client = SIZE{width, buttonsTop + kButtonHeight + kMargin};

  if (hasIcon) out.icon = RECT{kMargin, kMargin, kMargin + kIconSize, kMargin + kIconSize};
  // A text shorter than the icon is centred on it.
  const int textTop = kMargin + (bodyHeight - textSize.cy) / 2;
  out.text = RECT{textLeft, textTop, textLeft + textSize.cx, textTop + textSize.cy};

  int x = (width - rowWidth) / 2;
  for (int i = 0; i < buttonCount && i < 3; ++i) {
    out.buttons[i] = RECT{x, buttonsTop, x + kButtonWidth, buttonsTop + kButtonHeight};
    x += kButtonWidth + kButtonSpacing;
  }
  return out;
}

}  // namespace kelmira::window
