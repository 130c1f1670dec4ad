#pragma once
// Layouts of the old forms are given in twips; the screen has 15 of them to a pixel.

constexpr int TwipsPerPixel = 15;

// Rounds to the nearest pixel, so 1700 twips become 113 pixels.
constexpr int TwipsToPixels(int twips)
{
    return twips >= 0 ? (twips + TwipsPerPixel / 2) / TwipsPerPixel : -((-twips + TwipsPerPixel / 2) / TwipsPerPixel);
}
