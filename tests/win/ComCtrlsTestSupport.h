// Helpers shared by the common-control tests: a shown form to put controls
// on, window class and style queries, and published property type names.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "WinTest.h"
#include "framework/Forms.h"

namespace nuvskin::test {

inline bool HasStyle(HWND wnd, DWORD bits) {
  return (static_cast<DWORD>(::GetWindowLongPtrW(wnd, GWL_STYLE)) & bits) == bits;
}

// The type name of a published property, or "" when it is not published.
inline std::string PropType(const TObject* object, const char* name) {
  const PropInfo* p = GetPropInfo(object, name);
  return p ? p->typeName : std::string();
}

// A shown form that frees itself (and its controls) at the end of a test.
class FormFixture {
 public:
  explicit FormFixture(int width = 480, int height = 360) {
    form_ = Create<TForm>(nullptr);
    form_->SetBounds(60, 60, width, height);
    form_->Show();
    ::SetForegroundWindow(form_->Handle());
    PumpMessages(50);
  }
  ~FormFixture() { TObject::Free(form_); }
  FormFixture(const FormFixture&) = delete;
  FormFixture& operator=(const FormFixture&) = delete;

  TForm* Form() const { return form_; }

  // A control of class T on the form at the given bounds.
  template <class T>
  T* Add(int left, int top, int width, int height) {
    T* control = Create<T>(form_);
    control->SetBounds(left, top, width, height);
    control->SetParent(form_);
    return control;
  }

 private:
  TForm* form_;
};

// A text field for the up-down to step: an EDIT window under a class of the test.
class TTestEdit : public TWinControl {
  NUV_CLASS(TTestEdit, TWinControl)
  using TWinControl::TWinControl;

 protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    params.SysClassName = L"EDIT";
    params.Style |= ES_AUTOHSCROLL;
    params.ExStyle |= WS_EX_CLIENTEDGE;
  }
};

}  // namespace nuvskin::test
