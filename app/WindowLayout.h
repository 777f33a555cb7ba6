// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

namespace veldo::layout {

// The window is laid out in twips, 15 to a pixel at 96 dots per inch.
constexpr int px(int twips)
{
    return twips / 15;
}

constexpr QRect rect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

inline constexpr QSize kClientSize(px(8880), px(4620));

inline constexpr QRect kFrame1 = rect(120, 0, 1575, 4215);
inline constexpr QRect kComboCommPort = rect(120, 240, 1335, 315);
inline constexpr QRect kFrame2 = rect(1800, 0, 6975, 4215);
inline constexpr QRect kStatusLine = rect(120, 4320, 8655, 255);

// The command buttons of Frame1, top to bottom.
inline constexpr int kButtonTops[] = {720, 1320, 2040, 2640, 3480};
inline constexpr int kButtonLeft = 120, kButtonWidth = 1335, kButtonHeight = 615;

// One output row in Frame2; row i is kRowPitch lower than row i - 1.
inline constexpr int kRowTop = 240, kRowPitch = 240, kRowHeight = 255;
inline constexpr int kLabelLeft = 120, kLabelWidth = 720; // stops where Code A starts
inline constexpr int kCodeALeft = 840, kCodeBLeft = 2160, kCodeWidth = 1335;
inline constexpr int kTypeFrameLeft = 3600, kTypeFrameWidth = 3255;
inline constexpr int kTypeButtonPitch = 840, kTypeButtonWidth = 855;

// Font sizes in pixels: 8.25 pt and 9.75 pt at 96 dots per inch.
inline constexpr int kSmallFontPx = 11;
inline constexpr int kButtonFontPx = 13;

} // namespace veldo::layout
