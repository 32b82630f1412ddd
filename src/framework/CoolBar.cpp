#include "framework/CoolBar.h"

#include <vector>

namespace nuvskin {

// --- TCoolBand ------------------------------------------------------------------

void TCoolBand::Publish(ClassBuilder<TCoolBand>& b) {
  b.Boolean("Break", &TCoolBand::Break, &TCoolBand::SetBreak).defaultOrd = 1;
  b.Object("Control", &TCoolBand::Control, &TCoolBand::SetControl);
  b.Integer("ImageIndex", &TCoolBand::ImageIndex, &TCoolBand::SetImageIndex).typeName = "TImageIndex";
  b.Integer("MinHeight", &TCoolBand::MinHeight, &TCoolBand::SetMinHeight).defaultOrd = 0;
  b.Integer("MinWidth", &TCoolBand::MinWidth, &TCoolBand::SetMinWidth).defaultOrd = 0;
  b.WideString("Text", &TCoolBand::Text, &TCoolBand::SetText, "string");
  b.Boolean("Visible", &TCoolBand::Visible, &TCoolBand::SetVisible).defaultOrd = 1;
  b.Integer("Width", &TCoolBand::Width, &TCoolBand::SetWidth);
}

// The collection announced the band while it was still being built; now it
// is whole and the bar can show it.
void TCoolBand::AfterConstruction() {
  TCollectionItem::AfterConstruction();
  Changed(true);
}

void TCoolBand::Assign(TPersistent* source) {
  if (auto* b = dynamic_cast<TCoolBand*>(source)) {
    text_ = b->text_;
    width_ = b->width_;
    break_ = b->break_;
    minHeight_ = b->minHeight_;
    minWidth_ = b->minWidth_;
    visible_ = b->visible_;
    imageIndex_ = b->imageIndex_;
    SetControl(b->control_);
    Changed(true);
    return;
  }
  TCollectionItem::Assign(source);
}

TCoolBar* TCoolBand::CoolBar() const {
  auto* bands = dynamic_cast<TCoolBands*>(Collection());
  return bands ? static_cast<TCoolBar*>(bands->GetOwner()) : nullptr;
}

void TCoolBand::SetControl(TWinControl* value) {
  if (value == control_) return;
  control_ = value;
  if (TCoolBar* bar = CoolBar(); bar && value) {
    value->FreeNotification(bar);
    value->SetParent(bar);
  }
  Changed(true);
}

void TCoolBand::SetText(const std::wstring& value) {
  if (value == text_) return;
  text_ = value;
  Changed(true);
}

void TCoolBand::SetWidth(int value) {
  if (value == width_) return;
  width_ = value;
  Changed(true);
}

void TCoolBand::SetBreak(bool value) {
  if (value == break_) return;
  break_ = value;
  Changed(true);
}

void TCoolBand::SetMinHeight(int value) {
  if (value == minHeight_) return;
  minHeight_ = value;
  Changed(true);
}

void TCoolBand::SetMinWidth(int value) {
  if (value == minWidth_) return;
  minWidth_ = value;
  Changed(true);
}

void TCoolBand::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Changed(true);
}

void TCoolBand::SetImageIndex(int value) {
  if (value == imageIndex_) return;
  imageIndex_ = value;
  Changed(true);
}

// --- TCoolBands -------------------------------------------------------------------

TCoolBands::TCoolBands(TCoolBar* coolBar) : TCollection(TCoolBand::StaticClass()), coolBar_(coolBar) {}

TPersistent* TCoolBands::GetOwner() { return coolBar_; }

void TCoolBands::Update(TCollectionItem*) { coolBar_->UpdateBands(); }

// --- TCoolBar ---------------------------------------------------------------------

void TCoolBar::Publish(ClassBuilder<TCoolBar>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BiDiMode", "Color", "Constraints",
                     "Enabled", "Font", "ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu", "Visible",
                     "OnClick", "OnDblClick", "OnResize"});
  b.Boolean("AutoSize", &TCoolBar::AutoSize, &TCoolBar::SetAutoSize).defaultOrd = 0;
  b.Object("Bands", &TCoolBar::Bands, &TCoolBar::SetBands);
  b.Integer("BorderWidth", &TCoolBar::BorderWidth, &TCoolBar::SetBorderWidth).typeName = "TBorderWidth";
  b.SetOf("EdgeBorders", "TEdgeBorders", &TCoolBar::EdgeBorders, &TCoolBar::SetEdgeBorders);
  b.Enum("EdgeInner", &TCoolBar::EdgeInner, &TCoolBar::SetEdgeInner, "TEdgeStyle").defaultOrd = esRaised;
  b.Enum("EdgeOuter", &TCoolBar::EdgeOuter, &TCoolBar::SetEdgeOuter, "TEdgeStyle").defaultOrd = esLowered;
  b.Object("Images", &TCoolBar::Images, &TCoolBar::SetImages);
}

TCoolBar::TCoolBar(TComponent* owner) : TToolWindow(owner) {
  bands_ = Create<TCoolBands>(this);
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
  SetColor(clBtnFace);
  SetBounds(0, 0, 150, 75);
  SetAlign(alTop);
}

TCoolBar::~TCoolBar() { TObject::Free(bands_); }

void TCoolBar::BeforeDestruction() {
  updating_ = true;  // the bands' controls go with the bar; no native updates
  TToolWindow::BeforeDestruction();
}

void TCoolBar::SetImages(TCustomImageList* value) {
  if (value == images_) return;
  images_ = value;
  if (value) value->FreeNotification(this);
  if (HandleAllocated()) {
    REBARINFO info{sizeof(info), RBIM_IMAGELIST, images_ ? images_->Handle() : nullptr};
    ::SendMessageW(Handle(), RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
  }
  UpdateBands();
}

void TCoolBar::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  UpdateHeight();
}

int TCoolBar::RowCount() { return HandleAllocated() ? static_cast<int>(::SendMessageW(Handle(), RB_GETROWCOUNT, 0, 0)) : 0; }

void TCoolBar::Notification(TComponent* component, TOperation operation) {
  TToolWindow::Notification(component, operation);
  if (operation != opRemove || IsDestroying()) return;
  if (component == images_) SetImages(nullptr);
  for (int i = 0; i < bands_->Count(); ++i) {
    auto* band = dynamic_cast<TCoolBand*>(bands_->TCollection::Items(i));
    if (band && band->control_ == component) {
      band->control_ = nullptr;
      UpdateBands();
    }
  }
}

void TCoolBar::CreateParams(TCreateParams& params) {
  TToolWindow::CreateParams(params);
  params.SysClassName = REBARCLASSNAMEW;
  // The framework places and sizes the bar; the edges are its own.
  params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | RBS_VARHEIGHT | RBS_BANDBORDERS;
}

void TCoolBar::CreateHandle() {
  TToolWindow::CreateHandle();
  REBARINFO info{sizeof(info), RBIM_IMAGELIST, images_ ? images_->Handle() : nullptr};
  ::SendMessageW(Handle(), RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
  ColorChanged();
  UpdateBands();
}

void TCoolBar::ColorChanged() {
  TToolWindow::ColorChanged();
  if (HandleAllocated())
    ::SendMessageW(Handle(), RB_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
}

void TCoolBar::UpdateBands() {
  if (!HandleAllocated() || updating_ || IsDestroying()) return;
  updating_ = true;
  HWND wnd = Handle();
  try {
    while (::SendMessageW(wnd, RB_GETBANDCOUNT, 0, 0) > 0) ::SendMessageW(wnd, RB_DELETEBAND, 0, 0);
    // Bands still being built are left out until they are whole.
    for (int i = 0; i < bands_->Count(); ++i) {
      auto* band = dynamic_cast<TCoolBand*>(bands_->TCollection::Items(i));
      if (!band) continue;
      REBARBANDINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = RBBIM_STYLE | RBBIM_TEXT | RBBIM_SIZE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_ID | RBBIM_IMAGE;
      info.fStyle = RBBS_CHILDEDGE;
      if (band->break_) info.fStyle |= RBBS_BREAK;
      if (!band->visible_) info.fStyle |= RBBS_HIDDEN;
      info.lpText = const_cast<wchar_t*>(band->text_.c_str());
      info.cx = static_cast<UINT>(std::max(0, band->width_));
      info.wID = static_cast<UINT>(band->ID());
      info.iImage = images_ ? band->imageIndex_ : -1;
      TWinControl* control = band->control_;
      if (control && control->Parent() == this) {
        info.hwndChild = control->Handle();
        info.cyMinChild = static_cast<UINT>(band->minHeight_ > 0 ? band->minHeight_ : control->Height());
        info.cxMinChild = static_cast<UINT>(band->minWidth_);
      } else {
        info.cyMinChild = static_cast<UINT>(std::max(0, band->minHeight_));
        info.cxMinChild = static_cast<UINT>(band->minWidth_);
      }
      ::SendMessageW(wnd, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&info));
      if (control && info.hwndChild && control->Visible() && band->visible_)
        ::ShowWindow(info.hwndChild, SW_SHOWNA);
    }
  } catch (...) {
    updating_ = false;
    throw;
  }
  updating_ = false;
  UpdateHeight();
}

void TCoolBar::UpdateHeight() {
  if (!autoSize_ || !HandleAllocated() || updating_) return;
  HWND wnd = Handle();
  const int bands = static_cast<int>(::SendMessageW(wnd, RB_GETBARHEIGHT, 0, 0));
  RECT window, client;
  ::GetWindowRect(wnd, &window);
  ::GetClientRect(wnd, &client);
  SetHeight(bands + (window.bottom - window.top) - client.bottom);
}

void TCoolBar::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY && reinterpret_cast<NMHDR*>(m.LParam)->code == RBN_HEIGHTCHANGE) {
    UpdateHeight();
    m.Result = 0;
    return;
  }
  TToolWindow::WndProc(m);
}

}  // namespace nuvskin
