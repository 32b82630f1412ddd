// Captions fitted to a width, accelerator marks removed, and the system's
// caption and menu fonts.
#pragma once

#include <string>

#include "framework/Graphics.h"

namespace nuvskin {

// The caption when it fits into `maxWidth`; otherwise the shortest prefix
// plus "..." that reaches the width (it may be up to one character wider),
// or the whole caption when no prefix does. ShortenText measures 8-bit
// (ANSI) text as the platform's A functions draw it; ShortenTextW measures
// with TextWidthW.
std::string ShortenText(TCanvas* canvas, const std::string& text, int maxWidth);
std::wstring ShortenTextW(TCanvas* canvas, const std::wstring& text, int maxWidth);

// Width of the text in the canvas's current font.
int TextWidthW(TCanvas* canvas, const std::wstring& text);

// Every "&" removed; a doubled "&&" disappears entirely.
std::string StripAmpersands(const std::string& text);
std::wstring StripAmpersands(const std::wstring& text);

// The font becomes the system's caption font (UseCaptionFont) or menu font
// in the menu text colour (UseMenuFont); unchanged when the system cannot
// say.
void UseCaptionFont(TFont* font);
void UseMenuFont(TFont* font);

}  // namespace nuvskin
