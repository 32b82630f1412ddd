// Cool bars over the common controls' rebar ("ReBarWindow32"): bands that
// each hold a control and a caption, in rows. Aligned to the top by default.
#pragma once

#include <string>

#include "framework/ToolBar.h"

namespace nuvskin {

class TCoolBar;

class TCoolBand : public TCollectionItem {
  NUV_CLASS(TCoolBand, TCollectionItem)
  static void Publish(ClassBuilder<TCoolBand>& b);
  explicit TCoolBand(TCollection* collection) : TCollectionItem(collection) {}
  void AfterConstruction() override;
  void Assign(TPersistent* source) override;

  TCoolBar* CoolBar() const;
  // The control shown in the band; it becomes a child of the cool bar.
  TWinControl* Control() const { return control_; }
  void SetControl(TWinControl* value);
  const std::wstring& Text() const { return text_; }
  void SetText(const std::wstring& value);
  int Width() const { return width_; }
  void SetWidth(int value);
  // The band starts a new row.
  bool Break() const { return break_; }
  void SetBreak(bool value);
  // The least height of the band's control; 0 keeps the control's height.
  int MinHeight() const { return minHeight_; }
  void SetMinHeight(int value);
  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value);

 private:
  friend class TCoolBar;
  TWinControl* control_ = nullptr;
  std::wstring text_;
  int width_ = 100;
  bool break_ = true;
  int minHeight_ = 0;
  int minWidth_ = 0;
  bool visible_ = true;
  int imageIndex_ = -1;
};

class TCoolBands : public TCollection {
  NUV_CLASS(TCoolBands, TCollection)
  explicit TCoolBands(TCoolBar* coolBar);
  TCoolBand* Add() { return static_cast<TCoolBand*>(TCollection::Add()); }
  TCoolBand* Items(int index) const { return static_cast<TCoolBand*>(TCollection::Items(index)); }
  TPersistent* GetOwner() override;
  void Update(TCollectionItem* item) override;

 private:
  TCoolBar* coolBar_;
};

class TCoolBar : public TToolWindow {
  NUV_CLASS(TCoolBar, TToolWindow)
  static void Publish(ClassBuilder<TCoolBar>& b);
  explicit TCoolBar(TComponent* owner);
  ~TCoolBar() override;
  void BeforeDestruction() override;

  TCoolBands* Bands() const { return bands_; }
  void SetBands(TCoolBands* value) { bands_->Assign(value); }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  // The bar's height follows its rows of bands.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  // The number of native bands and rows (what the rebar shows).
  int RowCount();

  void WndProc(TMessage& message) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void ColorChanged() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TCoolBands;
  friend class TCoolBand;
  void UpdateBands();
  void UpdateHeight();

  TCoolBands* bands_;
  TCustomImageList* images_ = nullptr;
  bool autoSize_ = false;
  bool updating_ = false;
};

}  // namespace nuvskin
