#include "framework/StatusBar.h"

#include <vector>

namespace nuvskin {

// --- TStatusPanel -------------------------------------------------------------

void TStatusPanel::Publish(ClassBuilder<TStatusPanel>& b) {
  b.Enum("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).defaultOrd = taLeftJustify;
  b.Enum("Bevel", &TStatusPanel::Bevel, &TStatusPanel::SetBevel).defaultOrd = pbLowered;
  b.Enum("Style", &TStatusPanel::Style, &TStatusPanel::SetStyle).defaultOrd = psText;
  b.WideString("Text", &TStatusPanel::Text, &TStatusPanel::SetText, "string");
  b.Integer("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
}

// The collection announced the item while it was still being built; now it
// is whole and the bar can show it.
void TStatusPanel::AfterConstruction() {
  TCollectionItem::AfterConstruction();
  Changed(true);
}

void TStatusPanel::Assign(TPersistent* source) {
  if (auto* p = dynamic_cast<TStatusPanel*>(source)) {
    text_ = p->text_;
    width_ = p->width_;
    alignment_ = p->alignment_;
    style_ = p->style_;
    bevel_ = p->bevel_;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(source);
}

void TStatusPanel::SetText(const std::wstring& value) {
  if (value == text_) return;
  text_ = value;
  Changed(false);
}

void TStatusPanel::SetWidth(int value) {
  if (value == width_) return;
  width_ = value;
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle value) {
  if (value == style_) return;
  style_ = value;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel value) {
  if (value == bevel_) return;
  bevel_ = value;
  Changed(false);
}

// --- TStatusPanels --------------------------------------------------------------

TStatusPanels::TStatusPanels(TCustomStatusBar* statusBar)
    : TCollection(TStatusPanel::StaticClass()), statusBar_(statusBar) {}

TPersistent* TStatusPanels::GetOwner() { return statusBar_; }

void TStatusPanels::Update(TCollectionItem*) { statusBar_->UpdatePanels(); }

// --- TCustomStatusBar -------------------------------------------------------------

TCustomStatusBar::TCustomStatusBar(TComponent* owner) : TWinControl(owner) {
  panels_ = Create<TStatusPanels>(this);
  auto* canvas = Create<TControlCanvas>();
  canvas->SetControl(this);
  canvas_ = canvas;
  SetColor(clBtnFace);
  SetBounds(0, 0, 150, 19);
  SetAlign(alBottom);
}

TCustomStatusBar::~TCustomStatusBar() {
  TObject::Free(canvas_);
  TObject::Free(panels_);
}

void TCustomStatusBar::SetSimplePanel(bool value) {
  if (value == simplePanel_) return;
  simplePanel_ = value;
  if (HandleAllocated()) {
    ::SendMessageW(Handle(), SB_SIMPLE, value, 0);
    ::SendMessageW(Handle(), SB_SETTEXTW, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>(simpleText_.c_str()));
  }
  UpdatePanels();
}

void TCustomStatusBar::SetSimpleText(const std::wstring& value) {
  if (value == simpleText_) return;
  simpleText_ = value;
  if (HandleAllocated())
    ::SendMessageW(Handle(), SB_SETTEXTW, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>(value.c_str()));
}

void TCustomStatusBar::SetSizeGrip(bool value) {
  if (value == sizeGrip_) return;
  sizeGrip_ = value;
  RecreateWnd();  // the grip is a window style
}

void TCustomStatusBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = STATUSCLASSNAMEW;
  // The framework places the bar; the native one would size itself to its parent.
  params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE;
  if (sizeGrip_) params.Style |= SBARS_SIZEGRIP;
}

void TCustomStatusBar::CreateHandle() {
  TWinControl::CreateHandle();
  ColorChanged();
  ::SendMessageW(Handle(), SB_SIMPLE, simplePanel_, 0);
  ::SendMessageW(Handle(), SB_SETTEXTW, SB_SIMPLEID | SBT_NOBORDERS, reinterpret_cast<LPARAM>(simpleText_.c_str()));
  UpdatePanels();
}

void TCustomStatusBar::ColorChanged() {
  TWinControl::ColorChanged();
  if (!HandleAllocated()) return;
  const COLORREF bk = Color() == clBtnFace ? CLR_DEFAULT : ColorToRGB(Color());
  ::SendMessageW(Handle(), SB_SETBKCOLOR, 0, static_cast<LPARAM>(bk));
}

void TCustomStatusBar::UpdatePanels() {
  if (!HandleAllocated() || IsDestroying()) return;
  HWND wnd = Handle();
  // Panels still being built are left out until they are whole.
  std::vector<TStatusPanel*> panels;
  for (int i = 0; i < panels_->Count(); ++i)
    if (auto* p = dynamic_cast<TStatusPanel*>(panels_->TCollection::Items(i))) panels.push_back(p);
  std::vector<int> edges;
  int edge = 0;
  for (TStatusPanel* p : panels) edges.push_back(edge += p->Width());
  // The last panel reaches the right end of the bar.
  if (!edges.empty()) edges.back() = -1;
  if (edges.empty()) edges.push_back(-1);
  ::SendMessageW(wnd, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
  for (std::size_t i = 0; i < panels.size(); ++i) {
    TStatusPanel* p = panels[i];
    WPARAM flags = i;
    if (p->Bevel() == pbNone) flags |= SBT_NOBORDERS;
    if (p->Bevel() == pbRaised) flags |= SBT_POPOUT;
    if (p->Style() == psOwnerDraw) {
      ::SendMessageW(wnd, SB_SETTEXTW, flags | SBT_OWNERDRAW, static_cast<LPARAM>(p->Index()));
      continue;
    }
    // A tab centres the text, two tabs align it right.
    std::wstring text = p->Alignment() == taCenter ? L"\t" : p->Alignment() == taRightJustify ? L"\t\t" : L"";
    text += p->Text();
    ::SendMessageW(wnd, SB_SETTEXTW, flags, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

void TCustomStatusBar::WndProc(TMessage& m) {
  if (m.Msg == CN_DRAWITEM) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    const int index = static_cast<int>(dis->itemID);
    if (OnDrawPanel && index >= 0 && index < panels_->Count()) {
      win::SavedDCState state(dis->hDC);
      CanvasBinding binding(canvas_, dis->hDC);
      try {
        OnDrawPanel(this, panels_->Items(index), dis->rcItem);
      } catch (...) {
        // Painting never raises: the panel stays as the bar drew it.
      }
    }
    m.Result = TRUE;
    return;
  }
  TWinControl::WndProc(m);
}

void TStatusBar::Publish(ClassBuilder<TStatusBar>& b) {
  PublishControl(b, {"Left", "Top", "Width", "Height", "Align", "Anchors", "BiDiMode", "Color", "Constraints",
                     "Enabled", "Font", "ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu", "Visible",
                     "OnClick", "OnDblClick", "OnResize"});
  b.Object("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
  b.Boolean("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).defaultOrd = 0;
  b.WideString("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText, "string");
  b.Boolean("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).defaultOrd = 1;
}

}  // namespace nuvskin
