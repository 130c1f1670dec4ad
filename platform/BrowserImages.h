#pragma once
// The browser window's toolbar pictures, 16 pixels, in the order of its buttons.
#include "platform/ImageList.h"

namespace BrowserImage {
enum : int { Back = 1, Forward, Stop, Refresh, Home, Search, Help };
}

ImageList BrowserImages();
