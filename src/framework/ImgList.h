// Image lists: equal-sized images with optional masks, over the common
// controls image list, drawn enabled or with the disabled (greyed) look.
#pragma once

#include "framework/Graphics.h"

namespace nuvskin {

class TCustomImageList : public TComponent {
  NUV_CLASS(TCustomImageList, TComponent)
  static void Publish(ClassBuilder<TCustomImageList>& b);
  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;
  // An owner-less list of `width` x `height` images.
  static TCustomImageList* CreateSize(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int value);   // clears the list
  void SetHeight(int value);  // clears the list
  int Count() const;
  HIMAGELIST Handle() const { return list_.Get(); }

  // Adds the bitmap's images (its width divided by Width); `mask` may be
  // nullptr. Returns the index of the first image added, or -1.
  int Add(TBitmap* image, TBitmap* mask);
  // Adds with every pixel of `maskColor` transparent.
  int AddMasked(TBitmap* image, TColor maskColor);
  int AddIcon(TIcon* icon);
  // Raises EInvalidOperation for an index outside the list.
  void Delete(int index);
  void Clear();
  // Enabled: the image with its mask. Disabled: the image's shape embossed
  // in the system's highlight and shadow colours (the classic greyed look).
  // An index outside the list draws nothing.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
  // The image drawn on `image`, made pf24bit of the list's size (transparent
  // parts left as the bitmap's background).
  void GetBitmap(int index, TBitmap* image);

  TNotifyEvent OnChange;

 private:
  void Recreate();
  win::UniqueImageList list_;
  int width_ = 16, height_ = 16;
};

class TImageList : public TCustomImageList {
  NUV_CLASS(TImageList, TCustomImageList)
  using TCustomImageList::TCustomImageList;
  static TImageList* CreateSize(int width, int height);
};

}  // namespace nuvskin
