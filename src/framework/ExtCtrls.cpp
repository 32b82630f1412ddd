#include "framework/ExtCtrls.h"

#include <algorithm>
#include <cwctype>

#include "framework/Callbacks.h"

namespace nuvskin {

namespace {

// One bevel ring of `width` pixels: `top` on the top and left edges,
// `bottom` on the others; `r` shrinks by the ring.
void Frame3D(TCanvas* canvas, RECT& r, TColor top, TColor bottom, int width) {
  for (int i = 0; i < width && r.right > r.left && r.bottom > r.top; ++i) {
    canvas->Brush()->SetColor(top);
    canvas->FillRect(RECT{r.left, r.top, r.right - 1, r.top + 1});
    canvas->FillRect(RECT{r.left, r.top, r.left + 1, r.bottom - 1});
    canvas->Brush()->SetColor(bottom);
    canvas->FillRect(RECT{r.right - 1, r.top, r.right, r.bottom});
    canvas->FillRect(RECT{r.left, r.bottom - 1, r.right, r.bottom});
    ::InflateRect(&r, -1, -1);
  }
}

void BevelColors(TBevelCut cut, TColor face, TColor& top, TColor& bottom) {
  switch (cut) {
    case bvRaised: top = clBtnHighlight, bottom = clBtnShadow; break;
    case bvLowered: top = clBtnShadow, bottom = clBtnHighlight; break;
    default: top = bottom = face; break;
  }
}

}  // namespace

// --- TCustomPanel, TPanel ---------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  // Paint covers everything: no erasing first.
  SetControlStyle(ControlStyle() + TControlStyle{csOpaque, csReplicatable});
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TCustomPanel::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.WindowClassStyle |= CS_HREDRAW | CS_VREDRAW;  // the bevels follow the edges
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  RECT r = ClientRect();
  TColor top, bottom;
  if (bevelOuter_ != bvNone) {
    BevelColors(bevelOuter_, Color(), top, bottom);
    Frame3D(canvas, r, top, bottom, bevelWidth_);
  }
  Frame3D(canvas, r, Color(), Color(), borderWidth_);
  if (bevelInner_ != bvNone) {
    BevelColors(bevelInner_, Color(), top, bottom);
    Frame3D(canvas, r, top, bottom, bevelWidth_);
  }
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(r);
  const std::wstring text = Caption();
  if (text.empty()) return;
  canvas->SetFont(Font());
  HDC dc = canvas->Handle();
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  flags = DrawTextBiDiModeFlags(flags);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
}

void TCustomPanel::AlignControls(TControl* control, RECT& rect) {
  int inset = borderWidth_;
  if (bevelOuter_ != bvNone) inset += bevelWidth_;
  if (bevelInner_ != bvNone) inset += bevelWidth_;
  ::InflateRect(&rect, -inset, -inset);
  TCustomControl::AlignControls(control, rect);
}

void TCustomPanel::BordersChanged() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  bevelInner_ = value;
  BordersChanged();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  bevelOuter_ = value;
  BordersChanged();
}

void TCustomPanel::SetBevelWidth(int value) {
  bevelWidth_ = std::max(1, value);
  BordersChanged();
}

void TCustomPanel::SetBorderWidth(int value) {
  borderWidth_ = std::max(0, value);
  BordersChanged();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomPanel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TCustomPanel::WndProc(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_ENABLEDCHANGED || m.Msg == CM_BIDIMODECHANGED) Invalidate();
  TCustomControl::WndProc(m);
}

void TPanel::Publish(ClassBuilder<TPanel>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align"});
  b.Enum("Alignment", &TPanel::Alignment, &TPanel::SetAlignment).defaultOrd = taCenter;
  PublishControl(b, {"Anchors", "BevelEdges"});
  b.Enum("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner).defaultOrd = bvNone;
  b.Enum("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter).defaultOrd = bvRaised;
  b.Integer("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth).defaultOrd = 1;
  PublishControl(b, {"BiDiMode"});
  b.Integer("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth).defaultOrd = 0;
  b.Enum("BorderStyle", &TPanel::BorderStyle, &TPanel::SetBorderStyle, "TBorderStyle").defaultOrd = bsNone;
  PublishControl(b, {"Caption", "Color", "Constraints", "Enabled", "Font", "ParentBiDiMode", "ParentColor",
                     "ParentFont", "PopupMenu", "TabOrder", "TabStop", "Visible", "OnClick", "OnDblClick",
                     "OnEnter", "OnExit", "OnMouseEnter", "OnMouseLeave", "OnResize"});
}

// --- TScrollBox, TCustomFrame, TFrame ---------------------------------------

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  SetBounds(0, 0, 185, 41);
  SetAutoScroll(true);
}

void TScrollBox::CreateParams(TCreateParams& params) {
  TScrollingWinControl::CreateParams(params);
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TScrollBox::Publish(ClassBuilder<TScrollBox>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors"});
  b.Boolean("AutoScroll", &TScrollBox::AutoScroll, &TScrollBox::SetAutoScroll).defaultOrd = 1;
  PublishControl(b, {"BevelEdges", "BiDiMode"});
  b.Enum("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle, "TBorderStyle").defaultOrd =
      bsSingle;
  PublishControl(b, {"Color", "Constraints", "Enabled", "Font", "ParentBiDiMode", "ParentColor", "ParentFont",
                     "PopupMenu", "TabOrder", "TabStop", "Visible", "OnClick", "OnDblClick", "OnEnter", "OnExit",
                     "OnResize"});
}

TCustomFrame::TCustomFrame(TComponent* owner) : TScrollingWinControl(owner) {
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  SetBounds(0, 0, 320, 240);
}

void TFrame::Publish(ClassBuilder<TFrame>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors"});
  b.Boolean("AutoScroll", &TFrame::AutoScroll, &TFrame::SetAutoScroll).defaultOrd = 0;
  PublishControl(b, {"BiDiMode", "Color", "Constraints", "Enabled", "Font", "ParentBiDiMode", "ParentColor",
                     "ParentFont", "PopupMenu", "TabOrder", "TabStop", "Visible", "OnClick", "OnDblClick",
                     "OnResize"});
}

// --- TPicture ---------------------------------------------------------------

TPicture::TPicture() = default;

TPicture::~TPicture() { TObject::Free(graphic_); }

void TPicture::Replace(TGraphic* graphic) {
  TGraphic* old = graphic_;
  graphic_ = graphic;
  TObject::Free(old);
  if (graphic_) graphic_->OnChange = TNotifyEvent::Bind(this, &TPicture::GraphicChanged);
  GraphicChanged(nullptr);
}

void TPicture::GraphicChanged(TObject*) {
  if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(TGraphic* value) {
  if (value == graphic_) return;
  if (!value) {
    Replace(nullptr);
    return;
  }
  TGraphic* copy = nullptr;
  if (dynamic_cast<TBitmap*>(value))
    copy = Create<TBitmap>();
  else if (dynamic_cast<TIcon*>(value))
    copy = Create<TIcon>();
  else
    throw EInvalidGraphic("Unsupported picture of class " + value->ClassName());
  try {
    copy->Assign(value);
  } catch (...) {
    TObject::Free(copy);
    throw;
  }
  Replace(copy);
}

TBitmap* TPicture::Bitmap() {
  if (auto* bitmap = dynamic_cast<TBitmap*>(graphic_)) return bitmap;
  Replace(Create<TBitmap>());
  return static_cast<TBitmap*>(graphic_);
}

TIcon* TPicture::Icon() {
  if (auto* icon = dynamic_cast<TIcon*>(graphic_)) return icon;
  Replace(Create<TIcon>());
  return static_cast<TIcon*>(graphic_);
}

void TPicture::LoadFromFile(const std::string& utf8Path) {
  std::string ext;
  if (const std::size_t dot = utf8Path.rfind('.'); dot != std::string::npos) ext = AsciiUpperCase(utf8Path.substr(dot));
  TGraphic* graphic = nullptr;
  if (ext == ".BMP")
    graphic = Create<TBitmap>();
  else if (ext == ".ICO")
    graphic = Create<TIcon>();
  else
    throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
  try {
    graphic->LoadFromFile(utf8Path);
  } catch (...) {
    TObject::Free(graphic);
    throw;
  }
  Replace(graphic);
}

void TPicture::Assign(TPersistent* source) {
  if (!source) {
    SetGraphic(nullptr);
  } else if (auto* picture = dynamic_cast<TPicture*>(source)) {
    SetGraphic(picture->graphic_);
  } else if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
    SetGraphic(graphic);
  } else {
    TPersistent::Assign(source);
  }
}

// --- TImage -----------------------------------------------------------------

void TImage::Publish(ClassBuilder<TImage>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors"});
  b.Boolean("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).defaultOrd = 0;
  b.Boolean("Center", &TImage::Center, &TImage::SetCenter).defaultOrd = 0;
  PublishControl(b, {"Constraints", "Enabled"});
  b.Object("Picture", &TImage::Picture, &TImage::SetPicture);
  PublishControl(b, {"PopupMenu"});
  b.Boolean("Proportional", &TImage::Proportional, &TImage::SetProportional).defaultOrd = 0;
  b.Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch).defaultOrd = 0;
  b.Boolean("Transparent", &TImage::Transparent, &TImage::SetTransparent).defaultOrd = 0;
  PublishControl(b, {"Visible", "OnClick", "OnDblClick", "OnMouseEnter", "OnMouseLeave"});
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(Create<TPicture>()) {
  picture_->OnChange = TNotifyEvent::Bind(this, &TImage::PictureChanged);
  SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() {
  picture_->OnChange = nullptr;
  TObject::Free(picture_);
}

void TImage::PictureChanged(TObject*) {
  if (TGraphic* g = picture_->Graphic(); g && g->Transparent() != transparent_) {
    g->SetTransparent(transparent_);  // comes back here once, then agrees
    return;
  }
  if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
  Invalidate();
}

RECT TImage::DestRect() const {
  int w = picture_->Width(), h = picture_->Height();
  const int cw = Width(), ch = Height();
  if (w > 0 && h > 0 && (stretch_ || (proportional_ && (w > cw || h > ch)))) {
    if (proportional_) {
      const double aspect = static_cast<double>(w) / h;
      if (w > h) {
        w = cw;
        h = static_cast<int>(cw / aspect);
        if (h > ch) {
          h = ch;
          w = static_cast<int>(ch * aspect);
        }
      } else {
        h = ch;
        w = static_cast<int>(ch * aspect);
        if (w > cw) {
          w = cw;
          h = static_cast<int>(cw / aspect);
        }
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  int x = 0, y = 0;
  if (center_) {
    x = (cw - w) / 2;
    y = (ch - h) / 2;
  }
  return RECT{x, y, x + w, y + h};
}

void TImage::Paint() {
  TGraphic* g = picture_->Graphic();
  if (!g || g->Empty()) return;
  Canvas()->StretchDraw(DestRect(), g);
}

void TImage::SetStretch(bool value) {
  stretch_ = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  center_ = value;
  Invalidate();
}

void TImage::SetProportional(bool value) {
  proportional_ = value;
  Invalidate();
}

void TImage::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  SetControlStyle(value ? ControlStyle() - TControlStyle{csOpaque} : ControlStyle());
  PictureChanged(nullptr);
}

void TImage::SetAutoSize(bool value) {
  autoSize_ = value;
  PictureChanged(nullptr);
}

// --- TTimer -----------------------------------------------------------------

void TTimer::Publish(ClassBuilder<TTimer>& b) {
  b.Boolean("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).defaultOrd = 1;
  b.Integer("Interval", &TTimer::Interval, &TTimer::SetInterval).defaultOrd = 1000;
  b.Event("OnTimer", &TTimer::OnTimer);
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) { UpdateTimer(); }

TTimer::~TTimer() {
  if (window_) ::SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, 0);
}

LRESULT CALLBACK TTimer::TimerWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg != WM_TIMER) return ::DefWindowProcW(wnd, msg, wp, lp);
  // The handler may free the timer (and this window): nothing is touched after it.
  return GuardWindowMessage(msg, 0, [&] {
    if (auto* timer = reinterpret_cast<TTimer*>(::GetWindowLongPtrW(wnd, GWLP_USERDATA)); timer && timer->OnTimer) {
      // A copy: freeing the timer in its handler frees the original.
      const TNotifyEvent handler = timer->OnTimer;
      handler(timer);
    }
    return LRESULT{0};
  });
}

void TTimer::UpdateTimer() {
  if (!window_) {
    static const wchar_t kClass[] = L"TTimerWindow";
    static const bool registered = [] {
      WNDCLASSEXW wc{};
      wc.cbSize = sizeof(wc);
      wc.lpfnWndProc = TimerWndProc;
      wc.hInstance = ::GetModuleHandleW(nullptr);
      wc.lpszClassName = kClass;
      return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!registered) throw EOutOfResources("Not enough timers available");
    window_.Reset(::CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr));
    if (!window_) throw EOutOfResources("Not enough timers available");
    ::SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ::KillTimer(window_.Get(), 1);
  if (enabled_ && interval_ > 0 && !::SetTimer(window_.Get(), 1, interval_, nullptr))
    throw EOutOfResources("Not enough timers available");
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned value) {
  if (value == interval_) return;
  interval_ = value;
  UpdateTimer();
}

}  // namespace nuvskin
