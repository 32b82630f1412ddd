// Helpers of the control skin tests: a frame skin that only owns control
// skins, the way the bindings do, and a fixture with an active engine, a
// form for framework controls and a window for raw ones.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "StdCtrlsTestSupport.h"
#include "controls/SkinControl.h"
#include "engine/NUVSkinEngine.h"
#include "frames/SkinWindow.h"

namespace nuvskin::test {

// Owns the control skins it is given and, like a binding, tells them when
// skinning starts or stops and lets their controls repaint.
class TTestFrame : public TnuvSkinWindow {
  NUV_CLASS(TTestFrame, TnuvSkinWindow)
  TTestFrame(HWND wnd, bool fromHook, TnuvSkinEngine* engine) : TnuvSkinWindow(wnd, fromHook, engine), wnd_(wnd) {}
  void UpdateFrame() override {
    for (TnuvSkinControl* skin : FControlSkins) {
      skin->SkinChanged();
      if (const HWND control = skin->GetHandle()) ::InvalidateRect(control, nullptr, TRUE);
    }
  }
  void CallDefault(TMessage& /*message*/) override {}
  void SkinChildren() override {}
  void UnskinChildren() override {
    for (TnuvSkinControl* skin : FControlSkins) {
      if (auto* vcl = dynamic_cast<TnuvSkinControlVCL*>(skin)) vcl->RestoreWindowProc();
      skin->DoneSkin();
      TObject::Free(skin);
    }
    FControlSkins.clear();
  }
  bool CanShapeWindow() override { return false; }
  HWND GetHandle() override { return wnd_; }
  void Attach(HWND /*wnd*/) override {}
  void Detach() override {}

 private:
  HWND wnd_;
};

class ControlSkinFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    MoveCursorTo(POINT{5, 5});  // away from every control: hover stays the test's
    owner_ = Create<TForm>(nullptr);
    engine_ = Create<TnuvSkinEngine>(owner_);
    engine_->SetSkinAllForms(false);
    engine_->LoadBuiltInSkin();
    engine_->SetActive(true);
    ASSERT_TRUE(engine_->SkinningActive());
    form_ = Create<TForm>(nullptr);
    form_->SetTag(engine_->DisabledTag());  // the engine leaves this form to the test
    // Low on the desktop, where the windows other test programs open do not reach.
    form_->SetBounds(720, 560, 400, 300);
    form_->Show();
    TestWindow::Options options;
    options.bounds = RECT{540, 120, 840, 420};
    options.style |= WS_CLIPCHILDREN;
    dialog_ = std::make_unique<TestWindow>(options);
    frame_ = TnuvSkinWindow::Create<TTestFrame>(dialog_->Handle(), false, engine_);
    // Buttons arm their click only on the active form.
    ::SetForegroundWindow(form_->Handle());
    AppPump(50);
  }
  void TearDown() override {
    TObject::Free(frame_);
    dialog_.reset();
    TObject::Free(form_);
    TObject::Free(owner_);  // and the engine with it
  }

  // Skins `control` through the table; the frame skin owns the result.
  template <class Skin = TnuvSkinControl>
  Skin* Attach(TControl* control) {
    TnuvSkinControl* skin = CreateControlSkin(control, frame_);
    if (skin) frame_->FControlSkins.push_back(skin);
    return dynamic_cast<Skin*>(skin);
  }
  template <class Skin = TnuvSkinControl>
  Skin* AttachWnd(HWND wnd) {
    TnuvSkinControl* skin = CreateWndControlSkin(wnd, frame_);
    if (skin) frame_->FControlSkins.push_back(skin);
    return dynamic_cast<Skin*>(skin);
  }
  // Releases one skin the way the frame skin does.
  void Release(TnuvSkinControl* skin) {
    auto& list = frame_->FControlSkins;
    list.erase(std::remove(list.begin(), list.end(), skin), list.end());
    if (auto* vcl = dynamic_cast<TnuvSkinControlVCL*>(skin)) vcl->RestoreWindowProc();
    skin->DoneSkin();
    TObject::Free(skin);
  }
  // The skin of a framework control.
  TnuvSkinControlVCL* SkinOf(TControl* control) const {
    for (TnuvSkinControl* skin : frame_->FControlSkins)
      if (auto* vcl = dynamic_cast<TnuvSkinControlVCL*>(skin); vcl && vcl->Control() == control) return vcl;
    return nullptr;
  }
  // Switches the engine, and tells the frame skin as the engine tells its own.
  void SetActive(bool active) {
    engine_->SetActive(active);
    frame_->SetSkinned(active);
  }

  TForm* owner_ = nullptr;
  TnuvSkinEngine* engine_ = nullptr;
  TForm* form_ = nullptr;
  std::unique_ptr<TestWindow> dialog_;
  TTestFrame* frame_ = nullptr;
};

// A framework control of class T on `parent`.
template <class T>
T* Place(TWinControl* parent, int left, int top, int width = 80, int height = 25) {
  T* c = Create<T>(parent->Owner() ? parent->Owner() : parent);
  c->SetBounds(left, top, width, height);
  c->SetParent(parent);
  return c;
}

// The smallest rectangle around the pixels that satisfy `pred`.
struct Box {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
  bool Empty() const { return right < left; }
};
template <class Pred>
Box BoxWhere(const Image& image, Pred pred, RECT within = RECT{0, 0, 1 << 20, 1 << 20}) {
  Box box;
  for (int y = std::max<int>(0, within.top); y < std::min<int>(image.Height(), within.bottom); ++y)
    for (int x = std::max<int>(0, within.left); x < std::min<int>(image.Width(), within.right); ++x)
      if (pred(image.At(x, y), x, y)) {
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
  return box;
}
// The pixels that differ from `background`.
inline Box InkBox(const Image& image, Pixel background) {
  return BoxWhere(image, [&](Pixel p, int, int) { return p != background; });
}
// The pixels of exactly `color`.
inline Box ColourBox(const Image& image, Pixel color, RECT within = RECT{0, 0, 1 << 20, 1 << 20}) {
  return BoxWhere(image, [&](Pixel p, int, int) { return p == color; }, within);
}
// Where two pictures of one size differ.
inline Box DifferenceBox(const Image& a, const Image& b, RECT within = RECT{0, 0, 1 << 20, 1 << 20}) {
  return BoxWhere(a, [&](Pixel p, int x, int y) { return !b.Contains(x, y) || b.At(x, y) != p; }, within);
}

}  // namespace nuvskin::test
