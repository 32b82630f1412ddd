#include "framework/StdCtrls.h"

#include <algorithm>

namespace nuvskin {

namespace {

[[noreturn]] void IndexError(int index) {
  throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

// Box left of the caption unless the alignment (mirrored right to left) says otherwise.
bool CaptionLeftOfBox(TAlignment alignment, bool rightToLeft) { return (alignment == taLeftJustify) != rightToLeft; }

TOwnerDrawState OwnerDrawState(UINT state) {
  TOwnerDrawState s;
  if (state & ODS_SELECTED) s.Include(odSelected);
  if (state & ODS_GRAYED) s.Include(odGrayed);
  if (state & ODS_DISABLED) s.Include(odDisabled);
  if (state & ODS_CHECKED) s.Include(odChecked);
  if (state & ODS_FOCUS) s.Include(odFocused);
  if (state & ODS_DEFAULT) s.Include(odDefault);
  if (state & ODS_HOTLIGHT) s.Include(odHotLight);
  if (state & ODS_INACTIVE) s.Include(odInactive);
  if (state & ODS_NOACCEL) s.Include(odNoAccel);
  if (state & ODS_NOFOCUSRECT) s.Include(odNoFocusRect);
  if (state & ODS_COMBOBOXEDIT) s.Include(odComboBoxEdit);
  return s;
}

// Runs `draw` for a reflected WM_DRAWITEM with the canvas on the item's DC,
// in the control's font and the selection colours, then the focus rectangle.
template <class Draw>
void OwnerDraw(TWinControl* control, TCanvas* canvas, TMessage& m, Draw draw) {
  const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
  const TOwnerDrawState state = OwnerDrawState(dis->itemState);
  CanvasBinding binding(canvas, dis->hDC);
  canvas->SetFont(control->Font());
  if (state.Contains(odSelected)) {
    canvas->Brush()->SetColor(clHighlight);
    canvas->Font()->SetColor(clHighlightText);
  } else {
    canvas->Brush()->SetColor(control->Color());
  }
  draw(static_cast<int>(dis->itemID), dis->rcItem, state);
  if (state.Contains(odFocused) && !state.Contains(odNoFocusRect)) canvas->DrawFocusRect(dis->rcItem);
  m.Result = 1;
}

// Answers a reflected WM_MEASUREITEM: `itemHeight`, or what `measure`
// makes of it when the items have variable heights.
template <class Measure>
void OwnerMeasure(TMessage& m, int itemHeight, bool variable, Measure measure) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
  int height = itemHeight;
  if (variable) measure(static_cast<int>(mis->itemID), height);
  mis->itemHeight = static_cast<UINT>(std::max(1, height));
  m.Result = 1;
}

// The selected index kept while a list has no window, as items come and go.
void ShiftIndexForInsert(int& itemIndex, int index) {
  if (itemIndex >= index) ++itemIndex;
}

void ShiftIndexForDelete(int& itemIndex, int index) {
  if (itemIndex == index)
    itemIndex = -1;
  else if (itemIndex > index)
    --itemIndex;
}

void DefaultDrawItem(TCanvas* canvas, const TStrings* items, int index, const RECT& rect) {
  canvas->FillRect(rect);
  if (index >= 0 && index < items->Count()) {
    ::SetBkMode(canvas->Handle(), TRANSPARENT);
    canvas->TextOut(rect.left + 2, rect.top, items->Get(index));
  }
}

}  // namespace

SIZE MeasureText(TFont* font, const std::wstring& text, UINT flags, int width) {
  win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
  if (!dc) return SIZE{0, 0};
  win::SelectScope select(dc.Get(), font->Handle());
  RECT r{0, 0, width, 0};
  ::DrawTextW(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// --- TButtonControl, TButton -----------------------------------------------

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
  // The system button captures the mouse and reports clicks and double
  // clicks itself (BN_CLICKED, BN_DOUBLECLICKED).
  SetControlStyle(TControlStyle{csSetCaption});
  SetTabStop(true);
}

void TButtonControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = L"BUTTON";
  if (wordWrap_) params.Style |= BS_MULTILINE;
}

void TButtonControl::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  RecreateWnd();
}

TGlyphPlacement LayoutGlyphAndCaption(HDC dc, const RECT& client, SIZE glyphSize, const std::wstring& caption,
                                      TButtonLayout layout, int margin, int spacing, UINT textFlags,
                                      bool rightToLeft) {
  const int clientW = client.right - client.left, clientH = client.bottom - client.top;
  if (rightToLeft) {
    if (layout == blGlyphLeft)
      layout = blGlyphRight;
    else if (layout == blGlyphRight)
      layout = blGlyphLeft;
  }
  SIZE textSize{0, 0};
  if (!caption.empty()) {
    RECT r{0, 0, clientW, 0};
    // Measured as one line: wrapping only matters when the caption is drawn.
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &r,
                DT_CALCRECT | (textFlags & ~static_cast<UINT>(DT_WORDBREAK)));
    textSize = SIZE{r.right - r.left, r.bottom - r.top};
  }
  POINT glyph{0, 0}, text{0, 0};
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  if (horizontal) {
    glyph.y = (clientH - glyphSize.cy + 1) / 2;
    text.y = (clientH - textSize.cy + 1) / 2;
  } else {
    glyph.x = (clientW - glyphSize.cx + 1) / 2;
    text.x = (clientW - textSize.cx + 1) / 2;
  }
  if (caption.empty()) spacing = 0;
  const int size = horizontal ? clientW : clientH;
  const int g = horizontal ? glyphSize.cx : glyphSize.cy;
  const int t = horizontal ? textSize.cx : textSize.cy;
  if (margin == -1) {
    if (spacing == -1) {
      margin = (size - (g + t)) / 3;
      spacing = margin;
    } else {
      margin = (size - (g + spacing + t) + 1) / 2;
    }
  } else if (spacing == -1) {
    spacing = (size - (margin + g) - t) / 2;
  }
  switch (layout) {
    case blGlyphLeft:
      glyph.x = margin;
      text.x = glyph.x + glyphSize.cx + spacing;
      break;
    case blGlyphRight:
      glyph.x = clientW - margin - glyphSize.cx;
      text.x = glyph.x - spacing - textSize.cx;
      break;
    case blGlyphTop:
      glyph.y = margin;
      text.y = glyph.y + glyphSize.cy + spacing;
      break;
    case blGlyphBottom:
      glyph.y = clientH - margin - glyphSize.cy;
      text.y = glyph.y - spacing - textSize.cy;
      break;
  }
  TGlyphPlacement p;
  p.glyph = POINT{glyph.x + client.left, glyph.y + client.top};
  p.caption = RECT{text.x + client.left, text.y + client.top, text.x + client.left + textSize.cx,
                   text.y + client.top + textSize.cy};
  return p;
}

void DrawButtonCaption(HDC dc, const std::wstring& caption, RECT rect, UINT textFlags, bool enabled,
                       TColor color) {
  if (caption.empty()) return;
  const UINT flags = textFlags | DT_CENTER;
  ::SetBkMode(dc, TRANSPARENT);
  if (!enabled) {
    ::OffsetRect(&rect, 1, 1);
    ::SetTextColor(dc, ColorToRGB(clBtnHighlight));
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &rect, flags);
    ::OffsetRect(&rect, -1, -1);
    color = clBtnShadow;
  }
  ::SetTextColor(dc, ColorToRGB(color));
  ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &rect, flags);
}

void TButton::Publish(ClassBuilder<TButton>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BiDiMode"});
  b.Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel).defaultOrd = 0;
  PublishControl(b, {"Caption", "Constraints"});
  b.Boolean("Default", &TButton::Default, &TButton::SetDefault).defaultOrd = 0;
  PublishControl(b, {"Enabled", "Font"});
  b.Integer("ImageIndex", &TButton::ImageIndex, &TButton::SetImageIndex).typeName = "TImageIndex";
  b.Object("Images", &TButton::Images, &TButton::SetImages);
  b.Boolean("ImageVisible", &TButton::ImageVisible, &TButton::SetImageVisible).defaultOrd = 1;
  b.Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).typeName = "TModalResult";
  PublishControl(b, {"ParentBiDiMode", "ParentFont", "PopupMenu", "TabOrder", "TabStop", "Visible"});
  b.Boolean("WordWrap", &TButton::WordWrap, &TButton::SetWordWrap).defaultOrd = 0;
  PublishControl(b, {"OnClick", "OnEnter", "OnExit"});
}

TButton::TButton(TComponent* owner) : TButtonControl(owner), canvas_(Create<TCanvas>()) { SetBounds(0, 0, 75, 25); }

TButton::~TButton() { TObject::Free(canvas_); }

void TButton::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.Style |= OwnerDrawn() ? BS_OWNERDRAW : default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

bool TButton::OwnerDrawn() const { return images_ && imageVisible_ && imageIndex_ >= 0; }

void TButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  if (!HandleAllocated()) return;
  const LONG_PTR type = ::GetWindowLongPtrW(WindowHandle(), GWL_STYLE) & BS_TYPEMASK;
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON)
    ::SendMessageW(WindowHandle(), BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
  else
    Invalidate();
}

void TButton::ImagesChanged(bool wasOwnerDrawn) {
  if (wasOwnerDrawn != OwnerDrawn())
    RecreateWnd();
  else
    Invalidate();
}

void TButton::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  const bool was = OwnerDrawn();
  images_ = value;
  if (value) value->FreeNotification(this);
  ImagesChanged(was);
}

void TButton::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  const bool was = OwnerDrawn();
  imageIndex_ = value;
  ImagesChanged(was);
}

void TButton::SetImageVisible(bool value) {
  if (value == imageVisible_) return;
  const bool was = OwnerDrawn();
  imageVisible_ = value;
  ImagesChanged(was);
}

void TButton::Notification(TComponent* component, TOperation operation) {
  TButtonControl::Notification(component, operation);
  if (operation == opRemove && component == images_) {
    const bool was = OwnerDrawn();
    images_ = nullptr;
    if (!IsDestroying()) ImagesChanged(was);
  }
}

bool TButton::IsActiveDefault() const {
  if (auto* focused = dynamic_cast<TButton*>(FindControl(::GetFocus()))) return focused == this;
  return default_;
}

void TButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TButtonControl::Click();
}

void TButton::DrawFace(const DRAWITEMSTRUCT& item) {
  const bool pushed = (item.itemState & ODS_SELECTED) != 0;
  const bool focused = (item.itemState & ODS_FOCUS) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  CanvasBinding binding(canvas_, item.hDC);
  RECT r = item.rcItem;
  if (focused || IsActiveDefault()) {
    canvas_->Brush()->SetColor(clWindowFrame);
    canvas_->FrameRect(r);
    ::InflateRect(&r, -1, -1);
  }
  ::DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  RECT content = item.rcItem;
  ::InflateRect(&content, -1, -1);
  if (pushed) ::OffsetRect(&content, 1, 1);
  DrawContent(canvas_, content, pushed, !disabled);
  if (focused) {
    RECT f = item.rcItem;
    ::InflateRect(&f, -4, -4);
    ::DrawFocusRect(item.hDC, &f);
  }
}

void TButton::DrawContent(TCanvas* canvas, const RECT& content, bool, bool enabled) {
  canvas->SetFont(Font());
  const bool image = images_ && imageVisible_ && imageIndex_ >= 0 && imageIndex_ < images_->Count();
  const SIZE size = image ? SIZE{images_->Width(), images_->Height()} : SIZE{0, 0};
  const UINT flags = DrawTextBiDiModeFlags(0);
  const std::wstring caption = Caption();
  const TGlyphPlacement p = LayoutGlyphAndCaption(canvas->Handle(), content, size, caption, blGlyphLeft, -1, 4,
                                                  flags, UseRightToLeftAlignment());
  if (image) images_->Draw(canvas, p.glyph.x, p.glyph.y, imageIndex_, enabled);
  DrawButtonCaption(canvas->Handle(), caption, p.caption, flags, enabled, Font()->Color());
}

void TButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == BN_CLICKED && !clicksDisabled_) Click();
      m.Result = 0;
      return;
    case CN_DRAWITEM:
      DrawFace(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
      m.Result = 1;
      return;
    case WM_LBUTTONDBLCLK:
      // An owner-drawn button reports a double click instead of a click.
      if (OwnerDrawn()) m.Msg = WM_LBUTTONDOWN;
      break;
    case CM_FONTCHANGED:
    case CM_BIDIMODECHANGED:
      if (OwnerDrawn()) Invalidate();
      break;
    case CM_DIALOGKEY: {
      const bool alt = (m.LParam & 0x20000000) != 0;
      const bool hit = (m.WParam == VK_RETURN && IsActiveDefault()) || (m.WParam == VK_ESCAPE && cancel_);
      if (hit && !alt && CanFocus()) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    }
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<wchar_t>(m.WParam), Caption()) && CanFocus()) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TButtonControl::WndProc(m);
}

// --- TCustomCheckBox, TCheckBox, TRadioButton -------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 97, 17); }

void TCustomCheckBox::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  // BS_3STATE: the framework decides what a click leads to.
  params.Style |= BS_3STATE;
  if (CaptionLeftOfBox(alignment_, UseRightToLeftAlignment())) params.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateHandle() {
  TButtonControl::CreateHandle();
  ::SendMessageW(WindowHandle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCustomCheckBox::SetState(TCheckBoxState value) {
  if (value == state_) return;
  state_ = value;
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), BM_SETCHECK, static_cast<WPARAM>(value), 0);
  if (!clicksDisabled_) Click();
}

void TCustomCheckBox::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TCustomCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
  }
}

void TCustomCheckBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == BN_CLICKED) Toggle();
      m.Result = 0;
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<wchar_t>(m.WParam), Caption()) && CanFocus()) {
        SetFocus();
        Toggle();
        m.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TButtonControl::WndProc(m);
}

void TCheckBox::Publish(ClassBuilder<TCheckBox>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BiDiMode", "Caption", "Color",
                     "Constraints", "Enabled", "Font", "ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu",
                     "TabOrder", "TabStop", "Visible", "OnClick", "OnEnter", "OnExit"});
  b.Enum("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment, "TLeftRight").defaultOrd = taRightJustify;
  b.Boolean("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).defaultOrd = 0;
  b.Boolean("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).stored = false;  // State carries it
  b.Enum("State", &TCheckBox::State, &TCheckBox::SetState).defaultOrd = cbUnchecked;
  b.Boolean("WordWrap", &TCheckBox::WordWrap, &TCheckBox::SetWordWrap).defaultOrd = 0;
}

void TRadioButton::Publish(ClassBuilder<TRadioButton>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BiDiMode", "Caption", "Color",
                     "Constraints", "Enabled", "Font", "ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu",
                     "TabOrder", "TabStop", "Visible", "OnClick", "OnDblClick", "OnEnter", "OnExit"});
  b.Enum("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment, "TLeftRight").defaultOrd =
      taRightJustify;
  b.Boolean("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).defaultOrd = 0;
  b.Boolean("WordWrap", &TRadioButton::WordWrap, &TRadioButton::SetWordWrap).defaultOrd = 0;
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 113, 17);
  SetTabStop(false);  // only the checked button of a group is a tab stop
}

void TRadioButton::CreateParams(TCreateParams& params) {
  TButtonControl::CreateParams(params);
  params.Style |= BS_RADIOBUTTON;
  if (CaptionLeftOfBox(alignment_, UseRightToLeftAlignment())) params.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateHandle() {
  TButtonControl::CreateHandle();
  ::SendMessageW(WindowHandle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TRadioButton::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  SetTabStop(value);
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!value) return;
  if (TWinControl* parent = Parent()) {
    for (int i = 0; i < parent->ControlCount(); ++i)
      if (auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i)); sibling && sibling != this)
        sibling->SetChecked(false);
  }
  if (!clicksDisabled_) Click();
}

void TRadioButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == BN_CLICKED) SetChecked(true);
      if (HIWORD(m.WParam) == BN_DOUBLECLICKED) DblClick();
      m.Result = 0;
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<wchar_t>(m.WParam), Caption()) && CanFocus()) {
        SetFocus();
        SetChecked(true);
        m.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TButtonControl::WndProc(m);
}

// --- TCustomEdit, TEdit -------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(TControlStyle{csClickEvents, csSetCaption, csDoubleClicks});
  SetBounds(0, 0, 121, 21);
  SetColor(clWindow);
  SetTabStop(true);
}

TCustomEdit::~TCustomEdit() = default;

void TCustomEdit::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = L"EDIT";
  params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (readOnly_) params.Style |= ES_READONLY;
  if (passwordChar_) params.Style |= ES_PASSWORD;
  if (charCase_ == ecUpperCase) params.Style |= ES_UPPERCASE;
  if (charCase_ == ecLowerCase) params.Style |= ES_LOWERCASE;
  if (!hideSelection_) params.Style |= ES_NOHIDESEL;
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateHandle() {
  TWinControl::CreateHandle();
  HWND wnd = WindowHandle();
  ::SendMessageW(wnd, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (passwordChar_) ::SendMessageW(wnd, EM_SETPASSWORDCHAR, passwordChar_, 0);
  ::SendMessageW(wnd, EM_SETSEL, selStart_, static_cast<LPARAM>(selEnd_));
  ::SendMessageW(wnd, EM_SETMODIFY, modified_, 0);
}

void TCustomEdit::DestroyWnd() {
  if (HWND wnd = WindowHandle()) {
    ::SendMessageW(wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart_), reinterpret_cast<LPARAM>(&selEnd_));
    modified_ = ::SendMessageW(wnd, EM_GETMODIFY, 0, 0) != 0;
  }
  TWinControl::DestroyWnd();
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomEdit::SetMaxLength(int value) {
  maxLength_ = std::max(0, value);
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::SetReadOnly(bool value) {
  readOnly_ = value;
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), EM_SETREADONLY, value, 0);
}

void TCustomEdit::SetPasswordChar(wchar_t value) {
  if (value == passwordChar_) return;
  passwordChar_ = value;
  if (!HandleAllocated()) return;
  ::SendMessageW(WindowHandle(), EM_SETPASSWORDCHAR, value, 0);
  Invalidate();
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (value == charCase_) return;
  charCase_ = value;
  RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool value) {
  if (value == hideSelection_) return;
  hideSelection_ = value;
  RecreateWnd();
}

bool TCustomEdit::Modified() const {
  return HandleAllocated() ? ::SendMessageW(WindowHandle(), EM_GETMODIFY, 0, 0) != 0 : modified_;
}

void TCustomEdit::SetModified(bool value) {
  modified_ = value;
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), EM_SETMODIFY, value, 0);
}

int TCustomEdit::SelStart() const {
  DWORD start = selStart_, end = selEnd_;
  if (HandleAllocated())
    ::SendMessageW(WindowHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

int TCustomEdit::SelLength() const {
  DWORD start = selStart_, end = selEnd_;
  if (HandleAllocated())
    ::SendMessageW(WindowHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelStart(int value) {
  value = std::max(0, value);
  if (HandleAllocated()) {
    ::SendMessageW(WindowHandle(), EM_SETSEL, static_cast<WPARAM>(value), value);
    ::SendMessageW(WindowHandle(), EM_SCROLLCARET, 0, 0);
  } else {
    selStart_ = selEnd_ = static_cast<DWORD>(value);
  }
}

void TCustomEdit::SetSelLength(int value) {
  const int start = SelStart();
  const int end = start + std::max(0, value);
  if (HandleAllocated())
    ::SendMessageW(WindowHandle(), EM_SETSEL, static_cast<WPARAM>(start), end);
  else
    selEnd_ = static_cast<DWORD>(end);
}

std::wstring TCustomEdit::SelText() const {
  const std::wstring text = Text();
  const std::size_t start = std::min<std::size_t>(static_cast<std::size_t>(SelStart()), text.size());
  return text.substr(start, static_cast<std::size_t>(SelLength()));
}

void TCustomEdit::SetSelText(const std::wstring& value) {
  if (HandleAllocated()) {
    ::SendMessageW(WindowHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str()));
    return;
  }
  std::wstring text = Text();
  const std::size_t start = std::min<std::size_t>(selStart_, text.size());
  const std::size_t end = std::clamp<std::size_t>(selEnd_, start, text.size());
  text.replace(start, end - start, value);
  selStart_ = selEnd_ = static_cast<DWORD>(start + value.size());
  SetText(text);
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) {
    ::SendMessageW(WindowHandle(), EM_SETSEL, 0, -1);
  } else {
    selStart_ = 0;
    selEnd_ = static_cast<DWORD>(Text().size());
  }
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    // The first text comes with the window: no change yet.
    if (HIWORD(m.WParam) == EN_CHANGE && !ControlState().Contains(csCreating)) Change();
    m.Result = 0;
    return;
  }
  TWinControl::WndProc(m);
  // Multi-line edits send no EN_CHANGE for a text set in code, and without
  // a window there is nobody to send it.
  if (m.Msg == CM_TEXTCHANGED &&
      (!HandleAllocated() || (::GetWindowLongPtrW(WindowHandle(), GWL_STYLE) & ES_MULTILINE)))
    Change();
}

void TEdit::Publish(ClassBuilder<TEdit>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BevelEdges", "BiDiMode"});
  b.Enum("BorderStyle", &TEdit::BorderStyle, &TEdit::SetBorderStyle, "TBorderStyle").defaultOrd = bsSingle;
  b.Enum("CharCase", &TEdit::CharCase, &TEdit::SetCharCase).defaultOrd = ecNormal;
  PublishControl(b, {"Color", "Constraints", "Enabled", "Font"});
  b.Boolean("HideSelection", &TEdit::HideSelection, &TEdit::SetHideSelection).defaultOrd = 1;
  b.Enum("ImeMode", &TEdit::ImeMode, &TEdit::SetImeMode).defaultOrd = imDontCare;
  b.Integer("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength).defaultOrd = 0;
  PublishControl(b, {"ParentBiDiMode", "ParentColor", "ParentFont"});
  b.Integer("PasswordChar", &TEdit::PasswordChar, &TEdit::SetPasswordChar).typeName = "Char";
  PublishControl(b, {"PopupMenu"});
  b.Boolean("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly).defaultOrd = 0;
  PublishControl(b, {"TabOrder", "TabStop", "Text", "Visible"});
  b.Event("OnChange", &TEdit::OnChange);
  PublishControl(b, {"OnClick", "OnDblClick", "OnEnter", "OnExit"});
}

// --- TCustomMemo, TMemo -----------------------------------------------------

namespace {

// A memo's lines over its text. Inside BeginUpdate/EndUpdate the lines are
// edited in a copy and written back once.
class TMemoStrings : public TStrings {
  NUV_CLASS(TMemoStrings, TStrings)
  explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}

  int Count() const override { return static_cast<int>(Lines().size()); }
  std::wstring Get(int index) const override {
    const std::vector<std::wstring> lines = Lines();
    if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
    return lines[static_cast<std::size_t>(index)];
  }
  void Put(int index, const std::wstring& s) override {
    Modify([&](std::vector<std::wstring>& lines) {
      if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
      lines[static_cast<std::size_t>(index)] = s;
    });
  }
  void Insert(int index, const std::wstring& s) override {
    Modify([&](std::vector<std::wstring>& lines) {
      if (index < 0 || index > static_cast<int>(lines.size())) IndexError(index);
      lines.insert(lines.begin() + index, s);
    });
  }
  void Delete(int index) override {
    Modify([&](std::vector<std::wstring>& lines) {
      if (index < 0 || index >= static_cast<int>(lines.size())) IndexError(index);
      lines.erase(lines.begin() + index);
    });
  }
  void Clear() override {
    Modify([](std::vector<std::wstring>& lines) { lines.clear(); });
  }

 protected:
  void SetUpdateState(bool updating) override {
    if (updating) {
      cache_ = Split(memo_->Text());
      caching_ = true;
    } else if (caching_) {
      caching_ = false;
      Write(cache_);
    }
  }

 private:
  // Lines end at CR LF, a lone LF or a lone CR (rich edits); a final line
  // break starts no line.
  static std::vector<std::wstring> Split(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find_first_of(L"\r\n", start);
      if (end == std::wstring::npos) end = text.size();
      lines.push_back(text.substr(start, end - start));
      if (end + 1 < text.size() && text[end] == L'\r' && text[end + 1] == L'\n') ++end;
      start = end + 1;
    }
    return lines;
  }
  std::vector<std::wstring> Lines() const { return caching_ ? cache_ : Split(memo_->Text()); }
  void Write(const std::vector<std::wstring>& lines) {
    std::wstring text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i) text += L"\r\n";
      text += lines[i];
    }
    memo_->SetText(text);
  }
  template <class F>
  void Modify(F change) {
    if (caching_) {
      change(cache_);
      return;
    }
    std::vector<std::wstring> lines = Split(memo_->Text());
    change(lines);
    Write(lines);
  }

  TCustomMemo* memo_;
  std::vector<std::wstring> cache_;
  bool caching_ = false;
};

}  // namespace

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner) {
  lines_ = Create<TMemoStrings>(this);
  SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() { TObject::Free(lines_); }

void TCustomMemo::CreateParams(TCreateParams& params) {
  TCustomEdit::CreateParams(params);
  params.Style |= ES_MULTILINE;
  if (wordWrap_) params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  if (wantReturns_) params.Style |= ES_WANTRETURN;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) params.Style |= WS_HSCROLL;
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) params.Style |= WS_VSCROLL;
  if (alignment_ == taRightJustify) params.Style |= ES_RIGHT;
  if (alignment_ == taCenter) params.Style |= ES_CENTER;
}

bool TCustomMemo::WantsKey(WORD key) {
  switch (key) {
    case VK_TAB: return wantTabs_;
    case VK_RETURN: return wantReturns_;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: return true;
    default: return false;
  }
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  RecreateWnd();
}

void TCustomMemo::SetWantReturns(bool value) {
  if (value == wantReturns_) return;
  wantReturns_ = value;
  RecreateWnd();
}

void TCustomMemo::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TMemo::Publish(ClassBuilder<TMemo>& b) { PublishMemo(b); }

// --- TListControlItems -------------------------------------------------------------

void TListControlItems::CheckIndex(int index, bool forInsert) const {
  const int limit = Count() + (forInsert ? 1 : 0);
  if (index < 0 || index >= limit) IndexError(index);
}

std::wstring TListControlItems::Get(int index) const {
  CheckIndex(index, false);
  return items_[static_cast<std::size_t>(index)].text;
}

void TListControlItems::Put(int index, const std::wstring& s) {
  CheckIndex(index, false);
  items_[static_cast<std::size_t>(index)].text = s;
  host_->ItemDeleted(index);
  host_->ItemInserted(index);
}

TObject* TListControlItems::GetObject(int index) const {
  CheckIndex(index, false);
  return items_[static_cast<std::size_t>(index)].object;
}

void TListControlItems::PutObject(int index, TObject* object) {
  CheckIndex(index, false);
  items_[static_cast<std::size_t>(index)].object = object;
}

void TListControlItems::InsertObject(int index, const std::wstring& s, TObject* object) {
  if (host_->ItemsSorted()) throw EListError("Operation not allowed on sorted list");
  CheckIndex(index, true);
  items_.insert(items_.begin() + index, Item{s, object});
  host_->ItemInserted(index);
}

int TListControlItems::AddObject(const std::wstring& s, TObject* object) {
  int index = Count();
  if (host_->ItemsSorted()) {
    // After the equal ones: items added in order keep it.
    auto it = std::upper_bound(items_.begin(), items_.end(), s,
                               [](const std::wstring& a, const Item& b) { return CompareText(a, b.text) < 0; });
    index = static_cast<int>(it - items_.begin());
  }
  items_.insert(items_.begin() + index, Item{s, object});
  host_->ItemInserted(index);
  return index;
}

void TListControlItems::Delete(int index) {
  CheckIndex(index, false);
  items_.erase(items_.begin() + index);
  host_->ItemDeleted(index);
}

void TListControlItems::Clear() {
  items_.clear();
  host_->ItemsCleared();
}

void TListControlItems::Sort() {
  std::stable_sort(items_.begin(), items_.end(),
                   [](const Item& a, const Item& b) { return CompareText(a.text, b.text) < 0; });
  host_->ItemsCleared();
  for (int i = 0; i < Count(); ++i) host_->ItemInserted(i);
}

// --- TCustomListBox, TListBox -----------------------------------------------

TCustomListBox::TCustomListBox(TComponent* owner) : TCustomMultiSelectListControl(owner) {
  items_ = Create<TListControlItems>(static_cast<TListControlItemsHost*>(this));
  canvas_ = Create<TCanvas>();
  // The list box reports clicks and double clicks itself (LBN_*).
  SetControlStyle(TControlStyle{csSetCaption});
  SetBounds(0, 0, 121, 97);
  SetColor(clWindow);
  SetTabStop(true);
}

TCustomListBox::~TCustomListBox() {
  TObject::Free(items_);
  TObject::Free(canvas_);
}

LRESULT TCustomListBox::Send(UINT msg, WPARAM wp, LPARAM lp) const {
  return HandleAllocated() ? ::SendMessageW(WindowHandle(), msg, wp, lp) : 0;
}

void TCustomListBox::CreateParams(TCreateParams& params) {
  TCustomMultiSelectListControl::CreateParams(params);
  params.SysClassName = L"LISTBOX";
  params.Style |= LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
  if (multiSelect_) params.Style |= LBS_EXTENDEDSEL;
  if (style_ == lbOwnerDrawFixed) params.Style |= LBS_OWNERDRAWFIXED;
  if (style_ == lbOwnerDrawVariable) params.Style |= LBS_OWNERDRAWVARIABLE;
  if (borderStyle_ == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateHandle() {
  TCustomMultiSelectListControl::CreateHandle();
  if (style_ == lbOwnerDrawFixed) Send(LB_SETITEMHEIGHT, 0, itemHeight_);
  for (int i = 0; i < items_->Count(); ++i) ItemInserted(i);
  if (multiSelect_) {
    for (std::size_t i = 0; i < selected_.size(); ++i)
      if (selected_[i]) Send(LB_SETSEL, TRUE, static_cast<LPARAM>(i));
    if (itemIndex_ >= 0) Send(LB_SETCARETINDEX, static_cast<WPARAM>(itemIndex_), FALSE);
  } else {
    Send(LB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
  }
  Send(LB_SETTOPINDEX, static_cast<WPARAM>(topIndex_), 0);
}

void TCustomListBox::DestroyWnd() {
  if (HandleAllocated()) {
    itemIndex_ = ItemIndex();
    topIndex_ = TopIndex();
    selected_.assign(static_cast<std::size_t>(Count()), false);
    if (multiSelect_)
      for (int i = 0; i < Count(); ++i) selected_[static_cast<std::size_t>(i)] = Send(LB_GETSEL, static_cast<WPARAM>(i)) > 0;
  }
  TCustomMultiSelectListControl::DestroyWnd();
}

void TCustomListBox::ItemInserted(int index) {
  if (HandleAllocated()) {
    Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(items_->Get(index).c_str()));
    return;
  }
  ShiftIndexForInsert(itemIndex_, index);
  if (static_cast<std::size_t>(index) <= selected_.size()) selected_.insert(selected_.begin() + index, false);
}

void TCustomListBox::ItemDeleted(int index) {
  if (HandleAllocated()) {
    Send(LB_DELETESTRING, static_cast<WPARAM>(index));
    return;
  }
  ShiftIndexForDelete(itemIndex_, index);
  if (static_cast<std::size_t>(index) < selected_.size()) selected_.erase(selected_.begin() + index);
}

void TCustomListBox::ItemsCleared() {
  Send(LB_RESETCONTENT);
  itemIndex_ = -1;
  topIndex_ = 0;
  selected_.clear();
}

void TCustomListBox::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle value) {
  if (value == style_) return;
  style_ = value;
  RecreateWnd();
}

int TCustomListBox::ItemHeight() const {
  if (HandleAllocated() && style_ != lbOwnerDrawVariable) return static_cast<int>(Send(LB_GETITEMHEIGHT));
  return itemHeight_;
}

void TCustomListBox::SetItemHeight(int value) {
  if (value <= 0 || value == itemHeight_) return;
  itemHeight_ = value;
  if (style_ == lbOwnerDrawFixed && HandleAllocated()) {
    Send(LB_SETITEMHEIGHT, 0, value);
    Invalidate();
  } else if (style_ == lbOwnerDrawVariable) {
    RecreateWnd();
  }
}

void TCustomListBox::SetSorted(bool value) {
  if (value == sorted_) return;
  sorted_ = value;
  if (value) items_->Sort();
}

void TCustomListBox::SetMultiSelect(bool value) {
  if (value == multiSelect_) return;
  TCustomMultiSelectListControl::SetMultiSelect(value);
  selected_.clear();
  RecreateWnd();
}

int TCustomListBox::TopIndex() const { return HandleAllocated() ? static_cast<int>(Send(LB_GETTOPINDEX)) : topIndex_; }

void TCustomListBox::SetTopIndex(int value) {
  topIndex_ = std::max(0, value);
  Send(LB_SETTOPINDEX, static_cast<WPARAM>(topIndex_));
}

int TCustomListBox::ItemIndex() const {
  if (!HandleAllocated()) return itemIndex_;
  return static_cast<int>(Send(multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL));
}

void TCustomListBox::SetItemIndex(int value) {
  if (value < -1 || value >= Count()) value = -1;
  if (!HandleAllocated()) {
    itemIndex_ = value;
    return;
  }
  if (multiSelect_)
    Send(LB_SETCARETINDEX, static_cast<WPARAM>(value), FALSE);
  else
    Send(LB_SETCURSEL, static_cast<WPARAM>(value));
}

bool TCustomListBox::Selected(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  if (!multiSelect_) return ItemIndex() == index;
  if (HandleAllocated()) return Send(LB_GETSEL, static_cast<WPARAM>(index)) > 0;
  return static_cast<std::size_t>(index) < selected_.size() && selected_[static_cast<std::size_t>(index)];
}

void TCustomListBox::SetSelected(int index, bool value) {
  if (index < 0 || index >= Count()) IndexError(index);
  if (!multiSelect_) {
    if (value)
      SetItemIndex(index);
    else if (ItemIndex() == index)
      SetItemIndex(-1);
    return;
  }
  if (HandleAllocated()) {
    Send(LB_SETSEL, value, index);
    return;
  }
  if (selected_.size() < static_cast<std::size_t>(Count())) selected_.resize(static_cast<std::size_t>(Count()), false);
  selected_[static_cast<std::size_t>(index)] = value;
}

int TCustomListBox::SelCount() const {
  if (!multiSelect_) return -1;
  if (HandleAllocated()) return static_cast<int>(Send(LB_GETSELCOUNT));
  return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

void TCustomListBox::ClearSelection() {
  if (!multiSelect_) {
    SetItemIndex(-1);
    return;
  }
  if (HandleAllocated())
    Send(LB_SETSEL, FALSE, -1);
  else
    selected_.assign(selected_.size(), false);
}

void TCustomListBox::SelectAll() {
  if (!multiSelect_) return;
  if (HandleAllocated())
    Send(LB_SETSEL, TRUE, -1);
  else
    selected_.assign(static_cast<std::size_t>(Count()), true);
}

void TCustomListBox::DeleteSelected() {
  if (!multiSelect_) {
    if (const int index = ItemIndex(); index >= 0) items_->Delete(index);
    return;
  }
  for (int i = Count() - 1; i >= 0; --i)
    if (Selected(i)) items_->Delete(i);
}

int TCustomListBox::ItemAtPos(POINT p, bool existing) const {
  if (!HandleAllocated()) return -1;
  const LRESULT r = Send(LB_ITEMFROMPOINT, 0, MAKELPARAM(p.x, p.y));
  if (HIWORD(r) != 0) return existing ? -1 : Count();
  return static_cast<int>(LOWORD(r));
}

RECT TCustomListBox::ItemRect(int index) const {
  RECT r{0, 0, 0, 0};
  Send(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

void TCustomListBox::DrawItem(int index, RECT rect, TOwnerDrawState state) {
  if (OnDrawItem)
    OnDrawItem(this, index, rect, state);
  else
    DefaultDrawItem(canvas_, items_, index, rect);
}

void TCustomListBox::MeasureItem(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomListBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (HIWORD(m.WParam) == LBN_SELCHANGE) Click();
      if (HIWORD(m.WParam) == LBN_DBLCLK) DblClick();
      m.Result = 0;
      return;
    case CN_DRAWITEM:
      OwnerDraw(this, canvas_, m, [this](int index, RECT rect, TOwnerDrawState state) { DrawItem(index, rect, state); });
      return;
    case CN_MEASUREITEM:
      OwnerMeasure(m, itemHeight_, style_ == lbOwnerDrawVariable,
                   [this](int index, int& height) { MeasureItem(index, height); });
      return;
    default:
      break;
  }
  TCustomMultiSelectListControl::WndProc(m);
}

void TListBox::Publish(ClassBuilder<TListBox>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BevelEdges", "BiDiMode"});
  b.Enum("BorderStyle", &TListBox::BorderStyle, &TListBox::SetBorderStyle, "TBorderStyle").defaultOrd = bsSingle;
  PublishControl(b, {"Color", "Constraints", "Enabled", "Font"});
  b.Integer("ItemHeight", &TListBox::ItemHeight, &TListBox::SetItemHeight);
  b.Object("Items", &TListBox::Items, &TListBox::SetItems);
  b.Boolean("MultiSelect", &TListBox::MultiSelect, &TListBox::SetMultiSelect).defaultOrd = 0;
  PublishControl(b, {"ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu"});
  b.Boolean("Sorted", &TListBox::Sorted, &TListBox::SetSorted).defaultOrd = 0;
  b.Enum("Style", &TListBox::Style, &TListBox::SetStyle).defaultOrd = lbStandard;
  PublishControl(b, {"TabOrder", "TabStop", "Visible", "OnClick", "OnDblClick", "OnEnter", "OnExit"});
}

// --- TCustomComboBox, TComboBox ---------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* owner) : TCustomListControl(owner) {
  items_ = Create<TListControlItems>(static_cast<TListControlItemsHost*>(this));
  canvas_ = Create<TCanvas>();
  SetControlStyle(TControlStyle{csSetCaption});
  SetBounds(0, 0, 145, 21);
  SetColor(clWindow);
  SetTabStop(true);
}

TCustomComboBox::~TCustomComboBox() {
  TObject::Free(items_);
  TObject::Free(canvas_);
}

LRESULT TCustomComboBox::Send(UINT msg, WPARAM wp, LPARAM lp) const {
  return HandleAllocated() ? ::SendMessageW(WindowHandle(), msg, wp, lp) : 0;
}

bool TCustomComboBox::IsDropDownStyle() const { return style_ != csSimple; }

void TCustomComboBox::CreateParams(TCreateParams& params) {
  TCustomListControl::CreateParams(params);
  params.SysClassName = L"COMBOBOX";
  pendingText_ = params.Caption;  // the combo box does not take its window text
  params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
  switch (style_) {
    case csDropDown: params.Style |= CBS_DROPDOWN; break;
    case csSimple: params.Style |= CBS_SIMPLE; break;
    case csDropDownList: params.Style |= CBS_DROPDOWNLIST; break;
    case csOwnerDrawFixed: params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED; break;
    case csOwnerDrawVariable: params.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE; break;
  }
}

void TCustomComboBox::CreateHandle() {
  const std::wstring text = pendingText_;
  TCustomListControl::CreateHandle();
  for (int i = 0; i < items_->Count(); ++i) WindowInsertItem(i);
  if (maxLength_) Send(CB_LIMITTEXT, static_cast<WPARAM>(maxLength_));
  if (itemIndex_ >= 0)
    Send(CB_SETCURSEL, static_cast<WPARAM>(itemIndex_));
  else if (!text.empty())
    ::SetWindowTextW(WindowHandle(), text.c_str());
  AdjustDropDown();
}

void TCustomComboBox::DestroyWnd() {
  if (HandleAllocated()) itemIndex_ = ItemIndex();
  TCustomListControl::DestroyWnd();
}

void TCustomComboBox::ItemInserted(int index) {
  if (HandleAllocated()) {
    WindowInsertItem(index);
    return;
  }
  ShiftIndexForInsert(itemIndex_, index);
}

void TCustomComboBox::WindowInsertItem(int index) {
  Send(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(items_->Get(index).c_str()));
}

void TCustomComboBox::ItemDeleted(int index) {
  if (HandleAllocated()) {
    Send(CB_DELETESTRING, static_cast<WPARAM>(index));
    return;
  }
  ShiftIndexForDelete(itemIndex_, index);
}

void TCustomComboBox::ItemsCleared() {
  Send(CB_RESETCONTENT);
  itemIndex_ = -1;
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
  if (value == style_) return;
  style_ = value;
  RecreateWnd();
}

bool TCustomComboBox::DroppedDown() const { return Send(CB_GETDROPPEDSTATE) != 0; }

void TCustomComboBox::SetDroppedDown(bool value) {
  if (HandleAllocated()) Send(CB_SHOWDROPDOWN, value);
}

void TCustomComboBox::SetDropDownCount(int value) {
  dropDownCount_ = std::max(1, value);
  AdjustDropDown();
}

void TCustomComboBox::AdjustDropDown() {
  if (!HandleAllocated() || !IsDropDownStyle()) return;
  HWND wnd = WindowHandle();
  Send(CB_SETMINVISIBLE, static_cast<WPARAM>(dropDownCount_));
  // The height asked of a drop-down combo box beyond its edit part is the
  // height of its list.
  const int shown = std::clamp(Count(), 1, dropDownCount_);
  const int itemHeight = static_cast<int>(Send(CB_GETITEMHEIGHT, 0));
  RECT r;
  ::GetWindowRect(wnd, &r);
  ::SetWindowPos(wnd, nullptr, 0, 0, r.right - r.left, (r.bottom - r.top) + shown * itemHeight + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void TCustomComboBox::SetItemHeight(int value) {
  if (value <= 0) return;
  itemHeight_ = value;
  if (style_ == csOwnerDrawFixed) Send(CB_SETITEMHEIGHT, 0, value);
}

void TCustomComboBox::SetMaxLength(int value) {
  maxLength_ = std::max(0, value);
  Send(CB_LIMITTEXT, static_cast<WPARAM>(maxLength_));
}

void TCustomComboBox::SetSorted(bool value) {
  if (value == sorted_) return;
  sorted_ = value;
  if (value) items_->Sort();
}

int TCustomComboBox::ItemIndex() const {
  return HandleAllocated() ? static_cast<int>(Send(CB_GETCURSEL)) : itemIndex_;
}

void TCustomComboBox::SetItemIndex(int value) {
  if (value < -1 || value >= Count()) value = -1;
  if (HandleAllocated()) {
    Send(CB_SETCURSEL, static_cast<WPARAM>(value));
    return;
  }
  itemIndex_ = value;
  TCustomListControl::SetText(value >= 0 ? items_->Get(value) : std::wstring());
}

void TCustomComboBox::SetText(const std::wstring& value) {
  if (style_ == csDropDown || style_ == csSimple) {
    TCustomListControl::SetText(value);
    return;
  }
  SetItemIndex(items_->IndexOf(value));
}

void TCustomComboBox::Clear() {
  items_->Clear();
  if (style_ == csDropDown || style_ == csSimple) TCustomListControl::SetText(L"");
}

void TCustomComboBox::DeleteSelected() {
  if (const int index = ItemIndex(); index >= 0) items_->Delete(index);
}

void TCustomComboBox::SelectAll() { Send(CB_SETEDITSEL, 0, MAKELPARAM(0, -1)); }

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::DrawItem(int index, RECT rect, TOwnerDrawState state) {
  if (OnDrawItem)
    OnDrawItem(this, index, rect, state);
  else
    DefaultDrawItem(canvas_, items_, index, rect);
}

void TCustomComboBox::MeasureItem(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomComboBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      // A simple combo box leaves the rows below its list unpainted: show
      // the parent's colour there, as an empty part of the parent.
      if (style_ == csSimple) {
        RECT r;
        ::GetClientRect(Handle(), &r);
        win::UniqueBrush brush(::CreateSolidBrush(ColorToRGB(Parent() ? Parent()->Color() : Color())));
        ::FillRect(reinterpret_cast<HDC>(m.WParam), &r, brush.Get());
        m.Result = 1;
        return;
      }
      break;
    case CN_COMMAND:
      switch (HIWORD(m.WParam)) {
        case CBN_SELCHANGE:
          Click();
          Select();
          break;
        case CBN_EDITCHANGE: Change(); break;
        case CBN_DROPDOWN:
          AdjustDropDown();
          if (OnDropDown) OnDropDown(this);
          break;
        case CBN_CLOSEUP:
          if (OnCloseUp) OnCloseUp(this);
          break;
        case CBN_DBLCLK: DblClick(); break;
        default: break;
      }
      m.Result = 0;
      return;
    case CN_DRAWITEM:
      OwnerDraw(this, canvas_, m, [this](int index, RECT rect, TOwnerDrawState state) { DrawItem(index, rect, state); });
      return;
    case CN_MEASUREITEM:
      OwnerMeasure(m, itemHeight_, style_ == csOwnerDrawVariable,
                   [this](int index, int& height) { MeasureItem(index, height); });
      return;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
      // The combo box's own edit and list ask it, not the parent.
      if (reinterpret_cast<HWND>(m.LParam) != WindowHandle() && !FindControl(reinterpret_cast<HWND>(m.LParam))) {
        m.Result = Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
        return;
      }
      break;
    default:
      break;
  }
  TCustomListControl::WndProc(m);
}

void TComboBox::Publish(ClassBuilder<TComboBox>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BevelEdges", "BiDiMode", "Color",
                     "Constraints"});
  b.Integer("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount).defaultOrd = 8;
  PublishControl(b, {"Enabled", "Font"});
  b.Integer("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight);
  b.Object("Items", &TComboBox::Items, &TComboBox::SetItems);
  b.Integer("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength).defaultOrd = 0;
  PublishControl(b, {"ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu"});
  b.Boolean("Sorted", &TComboBox::Sorted, &TComboBox::SetSorted).defaultOrd = 0;
  b.Enum("Style", &TComboBox::Style, &TComboBox::SetStyle).defaultOrd = csDropDown;
  PublishControl(b, {"TabOrder", "TabStop", "Text", "Visible"});
  b.Event("OnChange", &TComboBox::OnChange);
  PublishControl(b, {"OnClick"});
  b.Event("OnCloseUp", &TComboBox::OnCloseUp);
  PublishControl(b, {"OnDblClick"});
  b.Event("OnDropDown", &TComboBox::OnDropDown);
  PublishControl(b, {"OnEnter", "OnExit"});
  b.Event("OnSelect", &TComboBox::OnSelect);
}

// --- TScrollBar -------------------------------------------------------------

void TScrollBar::Publish(ClassBuilder<TScrollBar>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BiDiMode", "Constraints", "Enabled"});
  b.Enum("Kind", &TScrollBar::Kind, &TScrollBar::SetKind).defaultOrd = sbHorizontal;
  b.Integer("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange).defaultOrd = 1;
  b.Integer("Max", &TScrollBar::Max, &TScrollBar::SetMax).defaultOrd = 100;
  b.Integer("Min", &TScrollBar::Min, &TScrollBar::SetMin).defaultOrd = 0;
  b.Integer("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize).defaultOrd = 0;
  PublishControl(b, {"ParentBiDiMode", "PopupMenu"});
  b.Integer("Position", &TScrollBar::Position, &TScrollBar::SetPosition).defaultOrd = 0;
  b.Integer("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange).defaultOrd = 1;
  PublishControl(b, {"TabOrder", "TabStop", "Visible"});
  b.Event("OnChange", &TScrollBar::OnChange);
  PublishControl(b, {"OnEnter", "OnExit"});
}

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(TControlStyle{csOpaque});
  SetBounds(0, 0, 121, ::GetSystemMetrics(SM_CYHSCROLL));
  SetTabStop(true);
}

void TScrollBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = L"SCROLLBAR";
  params.Style |= kind_ == sbHorizontal ? SBS_HORZ : SBS_VERT;
}

void TScrollBar::CreateHandle() {
  TWinControl::CreateHandle();
  UpdateScrollInfo();
}

void TScrollBar::UpdateScrollInfo() {
  if (!HandleAllocated()) return;
  SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_POS | SIF_PAGE, min_, max_, static_cast<UINT>(pageSize_), position_, 0};
  ::SetScrollInfo(WindowHandle(), SB_CTL, &si, TRUE);
}

void TScrollBar::SetKind(TScrollBarKind value) {
  if (value == kind_) return;
  kind_ = value;
  if (!IsLoading()) SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TScrollBar::SetParams(int position, int min, int max) {
  if (max < min || max < pageSize_) throw EInvalidOperation("Scroll bar property out of range");
  const int last = pageSize_ > 0 ? max - pageSize_ + 1 : max;
  position = std::clamp(position, min, std::max(min, last));
  const bool moved = position != position_;
  min_ = min;
  max_ = max;
  position_ = position;
  UpdateScrollInfo();
  if (moved) Change();
}

void TScrollBar::SetPageSize(int value) {
  if (value < 0 || value > max_ - min_ + 1) throw EInvalidOperation("Scroll bar property out of range");
  pageSize_ = value;
  SetParams(position_, min_, max_);
}

void TScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode code, int& position) {
  if (OnScroll) OnScroll(this, code, position);
}

void TScrollBar::WndProc(TMessage& m) {
  if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
    const int code = LOWORD(m.WParam);
    int pos = position_;
    switch (code) {
      case SB_LINEUP: pos -= smallChange_; break;
      case SB_LINEDOWN: pos += smallChange_; break;
      case SB_PAGEUP: pos -= largeChange_; break;
      case SB_PAGEDOWN: pos += largeChange_; break;
      case SB_THUMBPOSITION:
      case SB_THUMBTRACK: {
        SCROLLINFO si{sizeof(si), SIF_TRACKPOS, 0, 0, 0, 0, 0};
        ::GetScrollInfo(WindowHandle(), SB_CTL, &si);
        pos = si.nTrackPos;
        break;
      }
      case SB_TOP: pos = min_; break;
      case SB_BOTTOM: pos = max_; break;
      default: break;
    }
    if (code >= SB_LINEUP && code <= SB_ENDSCROLL) {
      Scroll(static_cast<TScrollCode>(code), pos);
      SetPosition(pos);
    }
    m.Result = 0;
    return;
  }
  TWinControl::WndProc(m);
}

// --- TCustomGroupBox, TGroupBox ---------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 105); }

void TCustomGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  HDC dc = canvas->Handle();
  const int h = canvas->TextHeight(L"0");
  RECT frame{0, h / 2 - 1, Width(), Height()};
  ::DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  const std::wstring text = Caption();
  if (text.empty()) return;
  const UINT flags = DrawTextBiDiModeFlags(DT_SINGLELINE);
  RECT t{0, 0, 0, h};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, flags | DT_CALCRECT);
  const int w = t.right - t.left;
  t = UseRightToLeftAlignment() ? RECT{Width() - 8 - w, 0, Width() - 8, h} : RECT{8, 0, 8 + w, h};
  // The caption covers the frame line on a background of the box's colour.
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(t);
  ::SetBkMode(dc, TRANSPARENT);
  if (Enabled()) {
    ::SetTextColor(dc, ColorToRGB(Font()->Color()));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &t, flags);
  } else {
    ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(text.c_str()), static_cast<WPARAM>(text.size()),
                 t.left, t.top, w, h, DST_PREFIXTEXT | DSS_DISABLED);
  }
}

void TCustomGroupBox::AlignControls(TControl* control, RECT& rect) {
  rect.top += MeasureText(Font(), L"0", DT_SINGLELINE, 0).cy;
  ::InflateRect(&rect, -2, -2);
  TCustomControl::AlignControls(control, rect);
}

void TCustomGroupBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_BIDIMODECHANGED:
      Invalidate();
      break;
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<wchar_t>(m.WParam), Caption()) && CanFocus()) {
        if (TWinControl* first = FindNextControl(nullptr, true, true, false)) first->SetFocus();
        m.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TCustomControl::WndProc(m);
}

void TGroupBox::Publish(ClassBuilder<TGroupBox>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BiDiMode", "Caption", "Color",
                     "Constraints", "Enabled", "Font", "ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu",
                     "TabOrder", "TabStop", "Visible", "OnClick", "OnDblClick", "OnEnter", "OnExit"});
}

// --- TCustomLabel, TLabel ---------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() + TControlStyle{csOpaque, csReplicatable});
  SetBounds(0, 0, 65, 17);
}

UINT TCustomLabel::TextFlags() const {
  UINT flags = DT_EXPANDTABS;
  if (wordWrap_) flags |= DT_WORDBREAK;
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  return DrawTextBiDiModeFlags(flags);
}

void TCustomLabel::Paint() {
  TCanvas* canvas = Canvas();
  RECT r{0, 0, Width(), Height()};
  if (!transparent_) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
  }
  const std::wstring text = Caption();
  if (text.empty()) return;
  canvas->SetFont(Font());
  HDC dc = canvas->Handle();
  const UINT flags = TextFlags();
  if (layout_ != tlTop) {
    RECT calc = r;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &calc, flags | DT_CALCRECT);
    const int h = calc.bottom - calc.top;
    r.top = layout_ == tlBottom ? r.bottom - h : (r.bottom - h) / 2;
  }
  ::SetBkMode(dc, TRANSPARENT);
  if (!Enabled()) {
    // The classic engraved look: highlight one pixel down-right, shadow over it.
    ::OffsetRect(&r, 1, 1);
    ::SetTextColor(dc, ColorToRGB(clBtnHighlight));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    ::OffsetRect(&r, -1, -1);
    ::SetTextColor(dc, ColorToRGB(clBtnShadow));
  } else {
    ::SetTextColor(dc, ColorToRGB(Font()->Color()));
  }
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || IsLoading()) return;
  std::wstring text = Caption();
  if (text.empty() || (showAccelChar_ && text == L"&")) text += L' ';
  const SIZE s = MeasureText(Font(), text, TextFlags() & ~static_cast<UINT>(DT_RIGHT | DT_CENTER), Width());
  int left = Left();
  if (alignment_ == taRightJustify) left += Width() - s.cx;
  SetBounds(left, Top(), s.cx, s.cy);
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  // A transparent label lets its parent erase under it.
  SetControlStyle(value ? ControlStyle() - TControlStyle{csOpaque} : ControlStyle() + TControlStyle{csOpaque});
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* value) {
  focusControl_ = value;
  if (value) value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::Loaded() {
  const bool streamed = IsLoading();
  TGraphicControl::Loaded();
  // Sizing waited for the whole text and font; a label made in code keeps
  // its size until its text or font changes.
  if (streamed) AdjustBounds();
}

void TCustomLabel::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      AdjustBounds();
      break;
    case CM_DIALOGCHAR:
      if (focusControl_ && Enabled() && showAccelChar_ && IsAccel(static_cast<wchar_t>(m.WParam), Caption()) &&
          focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        m.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TGraphicControl::WndProc(m);
}

void TLabel::Publish(ClassBuilder<TLabel>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align"});
  b.Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment).defaultOrd = taLeftJustify;
  PublishControl(b, {"Anchors"});
  b.Boolean("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).defaultOrd = 1;
  PublishControl(b, {"BiDiMode", "Caption", "Color", "Constraints", "Enabled"});
  b.Object("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
  PublishControl(b, {"Font"});
  b.Enum("Layout", &TLabel::Layout, &TLabel::SetLayout).defaultOrd = tlTop;
  PublishControl(b, {"ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu"});
  b.Boolean("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar).defaultOrd = 1;
  b.Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent).defaultOrd = 0;
  PublishControl(b, {"Visible"});
  b.Boolean("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap).defaultOrd = 0;
  PublishControl(b, {"OnClick", "OnDblClick", "OnMouseEnter", "OnMouseLeave"});
}

}  // namespace nuvskin
