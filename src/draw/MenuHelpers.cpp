#include "draw/MenuHelpers.h"

#include "framework/Units.h"

namespace nuvskin {

namespace {

// Owns the two registration lists and removes the entries of whatever
// registered component is freed.
class TMenuRegistrations : public TComponent {
  NUV_CLASS(TMenuRegistrations, TComponent)
  TMenuRegistrations() : TComponent(nullptr), items_(Create<TList>()), images_(Create<TList>()) {}
  ~TMenuRegistrations() override {
    TObject::Free(images_);
    TObject::Free(items_);
  }
  TList* Items() const { return items_; }
  TList* Images() const { return images_; }

  void Register(TMenuItem* item, TCustomImageList* images) {
    items_->Add(item);
    images_->Add(images);
    item->FreeNotification(this);
    images->FreeNotification(this);
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    for (int i = items_->Count() - 1; i >= 0; --i) {
      if (items_->Items(i) == component || images_->Items(i) == component) {
        items_->Delete(i);
        images_->Delete(i);
      }
    }
  }

 private:
  TList* items_;
  TList* images_;
};

// Unit state (framework/Units.h).
TMenuRegistrations* gRegistrations = nullptr;

TMenuRegistrations* Registrations() {
  if (!gRegistrations) InitializeUnits();  // used before the library started
  if (!gRegistrations) {
    // After the library ended (a form freed after main): lists nobody keeps.
    static auto* afterEnd = Create<TMenuRegistrations>();
    return afterEnd;
  }
  return gRegistrations;
}

// The image list registered with a top-level item, or nullptr.
TCustomImageList* RegisteredImages(const TMenuItem* item) {
  if (!IsTopLevelMenuItem(item)) return nullptr;
  const int index = TopMenuItems()->IndexOf(item);
  return index >= 0 ? TopMenuItemImages()->Item<TCustomImageList>(index) : nullptr;
}

}  // namespace

void InitializeMenuHelpersUnit() { gRegistrations = Create<TMenuRegistrations>(); }

void FinalizeMenuHelpersUnit() { FreeAndNil(gRegistrations); }

TList* TopMenuItems() { return Registrations()->Items(); }
TList* TopMenuItemImages() { return Registrations()->Images(); }

bool IsTopLevelMenuItem(const TMenuItem* item) {
  if (!item || !item->Parent() || item->Name().empty()) return false;
  const TMenu* menu = item->GetParentMenu();
  return menu && item->Parent() == menu->Items();
}

void AssignMenuItemHandlers(TMenuItem* item, const TMenuMeasureItemEvent& onMeasure,
                            const TMenuDrawItemEvent& onDraw) {
  if (!item) return;
  item->OnDrawItem = onDraw;
  item->OnMeasureItem = onMeasure;
  TMenuItem* parent = item->Parent();
  if (IsTopLevelMenuItem(parent) && parent->SubMenuImages())
    Registrations()->Register(item, parent->SubMenuImages());
  for (int i = 0; i < item->Count(); ++i) AssignMenuItemHandlers(item->Items(i), onMeasure, onDraw);
}

TCustomImageList* GetMenuItemImages(const TMenuItem* item) {
  if (!item) return nullptr;
  if (TCustomImageList* images = RegisteredImages(item)) return images;
  for (const TMenuItem* p = item->Parent(); p; p = p->Parent()) {
    if (p->SubMenuImages()) return p->SubMenuImages();
    if (TCustomImageList* images = RegisteredImages(p)) return images;
  }
  const TMenu* menu = item->GetParentMenu();
  return menu ? menu->Images() : nullptr;
}

void DrawMenuSeparator(TCanvas* canvas, const RECT& rect, TColor color, int barWidth, bool barOnLeft) {
  if (!canvas) return;
  canvas->Pen()->SetColor(color);
  const int y = rect.top + 2;
  if (barOnLeft) {
    canvas->MoveTo(rect.left + barWidth + 4, y);
    canvas->LineTo(rect.right - 2, y);
  } else {
    canvas->MoveTo(rect.left + 2, y);
    canvas->LineTo(rect.right - barWidth - 4, y);
  }
}

}  // namespace nuvskin
