// Image lists over the common controls image list.
#include "framework/ImgList.h"

namespace nuvskin {

namespace {

void Notify(TCustomImageList& list) {
  if (list.OnChange) list.OnChange(&list);
}

template <class List>
List* CreateSized(int width, int height) {
  List* list = Create<List>(nullptr);
  try {
    list->SetWidth(width);
    list->SetHeight(height);
  } catch (...) {
    TObject::Free(list);
    throw;
  }
  return list;
}

}  // namespace

void TCustomImageList::Publish(ClassBuilder<TCustomImageList>& b) {
  b.Integer("Height", &TCustomImageList::Height, &TCustomImageList::SetHeight);
  b.Integer("Width", &TCustomImageList::Width, &TCustomImageList::SetWidth);
}

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) { Recreate(); }

TCustomImageList::~TCustomImageList() = default;

TCustomImageList* TCustomImageList::CreateSize(int width, int height) {
  return CreateSized<TCustomImageList>(width, height);
}

TImageList* TImageList::CreateSize(int width, int height) { return CreateSized<TImageList>(width, height); }

void TCustomImageList::Recreate() {
  win::UniqueImageList list(::ImageList_Create(width_, height_, ILC_COLOR24 | ILC_MASK, 4, 4));
  if (!list) throw EOutOfResources("Out of system resources");
  ::ImageList_SetBkColor(list.Get(), CLR_NONE);
  list_ = std::move(list);
  Notify(*this);
}

void TCustomImageList::SetWidth(int value) {
  if (value <= 0) throw EInvalidOperation("Invalid image size");
  if (value == width_) return;
  width_ = value;
  Recreate();
}

void TCustomImageList::SetHeight(int value) {
  if (value <= 0) throw EInvalidOperation("Invalid image size");
  if (value == height_) return;
  height_ = value;
  Recreate();
}

int TCustomImageList::Count() const { return ::ImageList_GetImageCount(list_.Get()); }

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  if (!image || image->Width() < width_ || image->Height() == 0) return -1;
  HBITMAP maskHandle = mask && !mask->Empty() ? mask->Handle() : nullptr;
  const int index = ::ImageList_Add(list_.Get(), image->Handle(), maskHandle);
  if (index >= 0) Notify(*this);
  return index;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image || image->Width() < width_ || image->Height() == 0) return -1;
  // ImageList_AddMasked blackens the masked pixels of the bitmap it gets:
  // give it a copy so the caller's bitmap stays as it was.
  TBitmap copy;
  copy.Assign(image);
  copy.SetPixelFormat(pf24bit);
  const int index = ::ImageList_AddMasked(list_.Get(), copy.Handle(), ColorToRGB(maskColor));
  if (index >= 0) Notify(*this);
  return index;
}

int TCustomImageList::AddIcon(TIcon* icon) {
  if (!icon || icon->Empty()) return -1;
  const int index = ::ImageList_AddIcon(list_.Get(), icon->Handle());
  if (index >= 0) Notify(*this);
  return index;
}

void TCustomImageList::Delete(int index) {
  if (index < 0 || index >= Count()) throw EInvalidOperation("Invalid ImageList Index");
  ::ImageList_Remove(list_.Get(), index);
  Notify(*this);
}

void TCustomImageList::Clear() {
  ::ImageList_Remove(list_.Get(), -1);
  Notify(*this);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  if (!canvas || index < 0 || index >= Count()) return;
  HDC dc = canvas->Handle();
  if (enabled) {
    ::ImageList_DrawEx(list_.Get(), index, dc, x, y, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_TRANSPARENT);
    return;
  }
  // The classic disabled look, embossed in the system's highlight and shadow
  // colours, from the image's mask: its black pixels are the shape. This
  // needs no common controls 6 and no icon per call.
  win::UniqueMemoryDC maskDC(::CreateCompatibleDC(dc));
  win::UniqueBitmap mask(::CreateBitmap(width_, height_, 1, 1, nullptr));
  if (!maskDC || !mask) return;
  {
    win::SelectScope select(maskDC.Get(), mask.Get());
    ::PatBlt(maskDC.Get(), 0, 0, width_, height_, WHITENESS);  // the mask is ANDed onto it
    ::ImageList_DrawEx(list_.Get(), index, maskDC.Get(), 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_MASK);
  }
  ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(mask.Get()), 0, x, y, width_, height_,
               DST_BITMAP | DSS_DISABLED);
}

void TCustomImageList::GetBitmap(int index, TBitmap* image) {
  if (!image) return;
  image->SetPixelFormat(pf24bit);
  image->SetSize(width_, height_);
  if (index < 0 || index >= Count()) return;
  ::ImageList_DrawEx(list_.Get(), index, image->Canvas()->Handle(), 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT,
                     ILD_TRANSPARENT);
}

}  // namespace nuvskin
