// The skinned menu bar of a form: a tool bar whose buttons carry the top-level
// items of the form's main menu (merged with an MDI child's), drawn from the
// skin by the form binding. And the small gradient button that carries the
// MDI child buttons at the right end of an MDI frame's menu bar row.
#pragma once

#include "framework/ExtCtrls.h"
#include "framework/ToolBar.h"

namespace nuvskin {

// While a button of the bar is drawn hot or selected its Tag is this value:
// the keyboard and popup handling find the item the user is on by it.
inline constexpr int kMenuBarHotTag = 888;

class TnuvSkinMenuBar : public TToolBar {
  NUV_CLASS(TnuvSkinMenuBar, TToolBar)
  explicit TnuvSkinMenuBar(TComponent* owner);
  void WndProc(TMessage& message) override;
  // The button the user is on (Tag kMenuBarHotTag), or nullptr.
  TToolButton* HotButton() const;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void DropDownPopup(TObject* sender);
  // Swallows what the tool bar's own menu handling must not see.
  bool FilterMessage(TMessage& message);
};

class TnuvSkinMenuBarControlButton : public TCustomPanel {
  NUV_CLASS(TnuvSkinMenuBarControlButton, TCustomPanel)
  static void Publish(ClassBuilder<TnuvSkinMenuBarControlButton>& b);
  explicit TnuvSkinMenuBarControlButton(TComponent* owner);
  ~TnuvSkinMenuBarControlButton() override;

  TBitmap* Glyph() const { return FGlyph; }
  // Copies the bitmap.
  void SetGlyph(TBitmap* value);
  TColor ToColor() const { return FToColor; }
  void SetToColor(TColor value);
  bool Hot() const { return FHot; }

  void WndProc(TMessage& message) override;

 protected:
  void Paint() override;

 private:
  bool FHot = false;
  TBitmap* FGlyph;
  TColor FToColor = 0xFFFFFF;
  // The face is composed here and copied in one transfer.
  TBitmap* FBuffer;
};

}  // namespace nuvskin
