// Status bars over the common controls' status bar ("msctls_statusbar32"):
// panels of text or owner-drawn content, a simple one-text mode, and the
// size grip. Aligned to the bottom by default.
#pragma once

#include <string>

#include "framework/Controls.h"

namespace nuvskin {

class TCustomStatusBar;

enum TStatusPanelStyle { psText, psOwnerDraw };
NUV_ENUM(TStatusPanelStyle, "psText", "psOwnerDraw");
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };
NUV_ENUM(TStatusPanelBevel, "pbNone", "pbLowered", "pbRaised");

class TStatusPanel : public TCollectionItem {
  NUV_CLASS(TStatusPanel, TCollectionItem)
  static void Publish(ClassBuilder<TStatusPanel>& b);
  explicit TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}
  void AfterConstruction() override;
  void Assign(TPersistent* source) override;

  const std::wstring& Text() const { return text_; }
  void SetText(const std::wstring& value);
  int Width() const { return width_; }
  void SetWidth(int value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle value);
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel value);

 private:
  std::wstring text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelStyle style_ = psText;
  TStatusPanelBevel bevel_ = pbLowered;
};

class TStatusPanels : public TCollection {
  NUV_CLASS(TStatusPanels, TCollection)
  explicit TStatusPanels(TCustomStatusBar* statusBar);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }
  TPersistent* GetOwner() override;
  void Update(TCollectionItem* item) override;

 private:
  TCustomStatusBar* statusBar_;
};

using TDrawPanelEvent = Event<void(TCustomStatusBar* StatusBar, TStatusPanel* Panel, const RECT& Rect)>;

class TCustomStatusBar : public TWinControl {
  NUV_CLASS(TCustomStatusBar, TWinControl)
  explicit TCustomStatusBar(TComponent* owner);
  ~TCustomStatusBar() override;

  TStatusPanels* Panels() const { return panels_; }
  void SetPanels(TStatusPanels* value) { panels_->Assign(value); }
  // One text over the whole bar instead of the panels.
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool value);
  const std::wstring& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::wstring& value);
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool value);
  // The bar's canvas; during OnDrawPanel it draws on the panel.
  TCanvas* Canvas() const { return canvas_; }

  // Draws a psOwnerDraw panel.
  TDrawPanelEvent OnDrawPanel;

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void ColorChanged() override;

 private:
  friend class TStatusPanels;
  void UpdatePanels();

  TStatusPanels* panels_;
  bool simplePanel_ = false;
  std::wstring simpleText_;
  bool sizeGrip_ = true;
  TCanvas* canvas_;
};

class TStatusBar : public TCustomStatusBar {
  NUV_CLASS(TStatusBar, TCustomStatusBar)
  static void Publish(ClassBuilder<TStatusBar>& b);
  using TCustomStatusBar::TCustomStatusBar;
};

}  // namespace nuvskin
