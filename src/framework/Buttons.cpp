#include "framework/Buttons.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "framework/ImgList.h"

namespace nuvskin {

namespace {

// Stock glyphs are drawn on this colour, which the lower-left pixel keeps:
// it becomes transparent when the glyph is drawn.
constexpr TColor kGlyphBackground = clOlive;
constexpr int kKindGlyphSize = 18;

// One 18 x 18 picture of a stock kind, drawn with GDI at x offset `x0`.
void DrawKindPicture(TCanvas* c, TBitBtnKind kind, int x0) {
  auto line = [&](TColor color, int width, std::initializer_list<POINT> points) {
    c->Pen()->SetColor(color);
    c->Pen()->SetWidth(width);
    std::vector<POINT> p(points);
    for (POINT& q : p) q.x += x0;
    c->Polyline(p.data(), static_cast<int>(p.size()));
  };
  auto disc = [&](TColor fill, TColor edge, int l, int t, int r, int b) {
    c->Brush()->SetColor(fill);
    c->Pen()->SetColor(edge);
    c->Pen()->SetWidth(1);
    c->Ellipse(x0 + l, t, x0 + r, b);
  };
  switch (kind) {
    case bkOK:
    case bkYes: line(clGreen, 3, {{3, 9}, {7, 13}, {15, 4}}); break;
    case bkAll:
      line(clGreen, 2, {{1, 8}, {4, 11}, {10, 4}});
      line(clGreen, 2, {{7, 11}, {10, 14}, {16, 7}});
      break;
    case bkCancel:
      line(clMaroon, 3, {{4, 4}, {14, 14}});
      line(clMaroon, 3, {{14, 4}, {4, 14}});
      break;
    case bkNo:
      disc(kGlyphBackground, clRed, 2, 2, 16, 16);
      line(clRed, 2, {{5, 5}, {13, 13}});
      break;
    case bkAbort:
      disc(clRed, clMaroon, 2, 2, 16, 16);
      line(clWhite, 2, {{6, 6}, {12, 12}});
      line(clWhite, 2, {{12, 6}, {6, 12}});
      break;
    case bkHelp:
      line(clNavy, 2, {{5, 6}, {6, 3}, {9, 2}, {12, 3}, {13, 6}, {9, 9}, {9, 12}});
      line(clNavy, 2, {{9, 14}, {9, 16}});
      break;
    case bkClose:
      c->Brush()->SetColor(clMaroon);
      c->FillRect(RECT{x0 + 5, 2, x0 + 13, 16});
      c->Brush()->SetColor(clYellow);
      c->FillRect(RECT{x0 + 10, 8, x0 + 12, 10});
      break;
    case bkRetry:
      line(clTeal, 2, {{13, 5}, {10, 3}, {6, 3}, {3, 6}, {3, 11}, {6, 14}, {10, 14}, {13, 11}});
      line(clTeal, 2, {{13, 2}, {13, 6}, {9, 6}});
      break;
    case bkIgnore:
      line(clNavy, 2, {{2, 9}, {15, 9}});
      line(clNavy, 2, {{11, 5}, {15, 9}, {11, 13}});
      line(clGray, 2, {{7, 3}, {7, 15}});
      break;
    case bkCustom: break;
  }
}

// The stock glyph of a kind: the picture, then its grey disabled copy.
void MakeKindGlyph(TBitmap* glyph, TBitBtnKind kind) {
  glyph->SetPixelFormat(pf24bit);
  glyph->SetSize(2 * kKindGlyphSize, kKindGlyphSize);
  TCanvas* c = glyph->Canvas();
  c->Brush()->SetColor(kGlyphBackground);
  c->FillRect(RECT{0, 0, glyph->Width(), glyph->Height()});
  DrawKindPicture(c, kind, 0);
  for (int y = 0; y < kKindGlyphSize; ++y)
    for (int x = 0; x < kKindGlyphSize; ++x) {
      const TColor p = glyph->PixelAt(x, y);
      glyph->SetPixelAt(kKindGlyphSize + x, y, p == kGlyphBackground ? p : clGray);
    }
}

int GuessNumGlyphs(TBitmap* glyph) {
  if (glyph->Empty() || glyph->Width() % glyph->Height() != 0) return 1;
  const int n = glyph->Width() / glyph->Height();
  return n >= 1 && n <= 4 ? n : 1;
}

}  // namespace

// --- glyphs -----------------------------------------------------------------

void DrawButtonGlyph(TCanvas* canvas, TBitmap* glyph, int numGlyphs, TButtonState state, int x, int y) {
  if (!glyph || glyph->Empty()) return;
  const int n = std::clamp(numGlyphs, 1, 4);
  const int w = glyph->Width() / n, h = glyph->Height();
  if (w <= 0) return;
  const int index = static_cast<int>(state) < n ? static_cast<int>(state) : 0;
  OwnedObject<TBitmap> image(Create<TBitmap>(w, h, pf24bit));
  image->Canvas()->CopyRect(RECT{0, 0, w, h}, glyph->Canvas(), RECT{index * w, 0, index * w + w, h});
  if (state == bsDisabled && index == 0) {
    // No disabled image of its own: the greyed look of an image list.
    OwnedObject<TCustomImageList> list(TCustomImageList::CreateSize(w, h));
    list->AddMasked(image.get(), image->PixelAt(0, h - 1));
    list->Draw(canvas, x, y, 0, false);
    return;
  }
  image->SetTransparent(true);
  canvas->Draw(x, y, image.get());
}

TButtonGlyph::TButtonGlyph(TControl* control) : control_(control), glyph_(Create<TBitmap>()) {
  glyph_->OnChange = TNotifyEvent::Bind(this, &TButtonGlyph::GlyphChanged);
}

TButtonGlyph::~TButtonGlyph() {
  glyph_->OnChange = nullptr;
  TObject::Free(glyph_);
}

void TButtonGlyph::SetGlyph(TBitmap* value) {
  if (value)
    glyph_->Assign(value);
  else
    glyph_->Clear();
  numGlyphs_ = GuessNumGlyphs(glyph_);
  control_->Invalidate();
}

void TButtonGlyph::SetNumGlyphs(int value) {
  numGlyphs_ = std::clamp(value, 1, 4);
  control_->Invalidate();
}

void TButtonGlyph::SetLayout(TButtonLayout value) {
  layout_ = value;
  control_->Invalidate();
}

void TButtonGlyph::SetMargin(int value) {
  margin_ = std::max(-1, value);
  control_->Invalidate();
}

void TButtonGlyph::SetSpacing(int value) {
  spacing_ = std::max(-1, value);
  control_->Invalidate();
}

RECT TButtonGlyph::Draw(TCanvas* canvas, const RECT& client, const std::wstring& caption, TButtonState state,
                        UINT textFlags, bool rightToLeft, TFont* font) {
  canvas->SetFont(font);
  HDC dc = canvas->Handle();
  SIZE glyphSize{0, 0};
  if (!glyph_->Empty()) glyphSize = SIZE{glyph_->Width() / numGlyphs_, glyph_->Height()};
  const TGlyphPlacement p =
      LayoutGlyphAndCaption(dc, client, glyphSize, caption, layout_, margin_, spacing_, textFlags, rightToLeft);
  DrawButtonGlyph(canvas, glyph_, numGlyphs_, state, p.glyph.x, p.glyph.y);
  if (caption.empty()) return p.caption;
  DrawButtonCaption(canvas->Handle(), caption, p.caption, textFlags, state != bsDisabled, font->Color());
  return p.caption;
}

// --- TBitBtn ----------------------------------------------------------------

void TBitBtn::Publish(ClassBuilder<TBitBtn>& b) {
  b.Object("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph);
  b.Enum("Kind", &TBitBtn::Kind, &TBitBtn::SetKind).defaultOrd = bkCustom;
  b.Enum("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).defaultOrd = blGlyphLeft;
  b.Integer("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).defaultOrd = -1;
  b.Integer("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs).typeName = "TNumGlyphs";
  b.Integer("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).defaultOrd = 4;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), glyph_(this) {}

void TBitBtn::SetKind(TBitBtnKind value) {
  kind_ = value;
  if (value == bkCustom) return;
  static const wchar_t* const kCaptions[] = {L"",        L"OK",      L"Cancel", L"&Help",   L"&Yes",  L"&No",
                                             L"&Close",  L"Abort",   L"&Retry", L"&Ignore", L"&All"};
  static const TModalResult kResults[] = {mrNone, mrOk,    mrCancel, mrNone,   mrYes, mrNo,
                                          mrNone, mrAbort, mrRetry,  mrIgnore, mrAll};
  SetCaption(kCaptions[value]);
  SetModalResult(kResults[value]);
  if (value == bkOK || value == bkYes) SetDefault(true);
  if (value == bkCancel || value == bkNo) SetCancel(true);
  MakeKindGlyph(glyph_.Glyph(), value);
  glyph_.SetNumGlyphs(2);
  Invalidate();
}

void TBitBtn::Click() {
  if (kind_ == bkClose) {
    if (TCustomForm* form = GetParentForm(this)) form->Close();
  }
  TButton::Click();
}

void TBitBtn::DrawContent(TCanvas* canvas, const RECT& content, bool pushed, bool enabled) {
  const TButtonState state = !enabled ? bsDisabled : pushed ? bsDown : bsUp;
  glyph_.Draw(canvas, content, Caption(), state, DrawTextBiDiModeFlags(0), UseRightToLeftAlignment(), Font());
}

// --- TSpeedButton -----------------------------------------------------------

void TSpeedButton::Publish(ClassBuilder<TSpeedButton>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align"});
  b.Boolean("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).defaultOrd = 0;
  PublishControl(b, {"Anchors", "BiDiMode", "Constraints"});
  b.Integer("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).defaultOrd = 0;
  b.Boolean("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).defaultOrd = 0;
  PublishControl(b, {"Caption", "Enabled"});
  b.Boolean("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).defaultOrd = 0;
  PublishControl(b, {"Font"});
  b.Object("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
  b.Enum("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).defaultOrd = blGlyphLeft;
  b.Integer("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).defaultOrd = -1;
  b.Integer("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).typeName = "TNumGlyphs";
  PublishControl(b, {"ParentBiDiMode", "ParentFont", "PopupMenu"});
  b.Integer("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).defaultOrd = 4;
  b.Boolean("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent).defaultOrd = 1;
  PublishControl(b, {"Visible", "OnClick", "OnDblClick", "OnMouseEnter", "OnMouseLeave"});
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), glyph_(this) {
  // Clicks come from MouseUp, which knows about groups.
  SetControlStyle(TControlStyle{csCaptureMouse, csDoubleClicks});
  SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetFlat(bool value) {
  flat_ = value;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool value) {
  transparent_ = value;
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool value) {
  if (value == allowAllUp_) return;
  allowAllUp_ = value;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_) return;
  if (down_ && !allowAllUp_) return;  // the group keeps one button down
  down_ = value;
  state_ = value ? bsExclusive : bsUp;
  Invalidate();
  if (value) UpdateExclusive();
}

void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || !Parent()) return;
  TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_), reinterpret_cast<LPARAM>(this), 0};
  Parent()->Broadcast(m);
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (!down_) {
    state_ = bsDown;
    Invalidate();
  }
  dragging_ = true;
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_) return;
  const bool inside = x >= 0 && x < Width() && y >= 0 && y < Height();
  const TButtonState state = down_ ? bsExclusive : inside ? bsDown : bsUp;
  if (state != state_) {
    state_ = state;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!dragging_ || button != mbLeft) return;
  dragging_ = false;
  const bool click = x >= 0 && x < Width() && y >= 0 && y < Height();
  if (groupIndex_ == 0) {
    state_ = bsUp;
    Invalidate();
  } else if (click) {
    SetDown(!down_);
    state_ = down_ ? bsExclusive : bsUp;
    Invalidate();
  } else {
    state_ = down_ ? bsExclusive : bsUp;
    Invalidate();
  }
  if (click) Click();
}

void TSpeedButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_BUTTONPRESSED: {
      auto* sender = reinterpret_cast<TSpeedButton*>(m.LParam);
      if (static_cast<int>(m.WParam) == groupIndex_ && sender != this) {
        if (sender->Down() && down_) {
          down_ = false;
          state_ = bsUp;
          Invalidate();
        }
        allowAllUp_ = sender->AllowAllUp();
      }
      m.Result = 0;
      return;
    }
    case CM_MOUSEENTER:
      if (m.LParam == 0) {
        mouseInControl_ = true;
        if (flat_ && Enabled()) Invalidate();
      }
      break;
    case CM_MOUSELEAVE:
      if (m.LParam == 0) {
        mouseInControl_ = false;
        if (flat_ && Enabled()) Invalidate();
      }
      break;
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<wchar_t>(m.WParam), Caption()) && Enabled() && Visible() && Parent() &&
          Parent()->Showing()) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TGraphicControl::WndProc(m);
}

void TSpeedButton::Paint() {
  TCanvas* canvas = Canvas();
  RECT r{0, 0, Width(), Height()};
  TButtonState state = state_;
  if (!Enabled())
    state = bsDisabled;
  else if (state == bsUp && down_)
    state = bsExclusive;
  const bool pushed = state == bsDown || state == bsExclusive;
  HDC dc = canvas->Handle();
  if (!flat_) {
    ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pushed ? DFCS_PUSHED : 0));
    if (state == bsExclusive) {
      canvas->Brush()->SetColor(clBtnHighlight);
      canvas->FillRect(r);
    }
  } else {
    if (state == bsExclusive) {
      canvas->Brush()->SetColor(clBtnHighlight);
      canvas->FillRect(r);
    } else if (!transparent_ || pushed) {
      canvas->Brush()->SetColor(Color());
      canvas->FillRect(r);
    }
    if ((mouseInControl_ && Enabled()) || pushed)
      ::DrawEdge(canvas->Handle(), &r, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  RECT content{0, 0, Width(), Height()};
  if (pushed) ::OffsetRect(&content, 1, 1);
  glyph_.Draw(canvas, content, Caption(), state, DrawTextBiDiModeFlags(0), UseRightToLeftAlignment(), Font());
}

}  // namespace nuvskin
