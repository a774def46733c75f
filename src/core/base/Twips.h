#pragma once

// Window sizes and places are given in twips, as the suite's forms were laid out: 15 twips make
// one device-independent pixel.
inline constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips)
{
    return twips / kTwipsPerPixel;
}
