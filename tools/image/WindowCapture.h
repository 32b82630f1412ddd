// Reads pixels back from windows and the screen into an Image.
#pragma once

#include <windows.h>

#include "image/Image.h"

namespace nuvskin::image {

// The whole window, frame and children included, from its window DC.
// Works even when the window is covered.
Image CaptureWindow(HWND wnd);

// A rectangle of the screen in screen coordinates. Wine pushes pixels to
// the X server from its message loop: pump messages before calling.
Image CaptureScreen(const RECT& rect);

// Copies `width` x `height` pixels at (x, y) of any DC.
Image CaptureDC(HDC dc, int x, int y, int width, int height);

}  // namespace nuvskin::image
