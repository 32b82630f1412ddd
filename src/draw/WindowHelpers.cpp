#include "draw/WindowHelpers.h"

#include "engine/SkinMessages.h"

namespace nuvskin {

bool HasPublishedProperty(const TObject* object, std::string_view name) {
  return object && IsPublishedProp(object, name);
}

bool IsFormActive(TCustomForm* form) {
  if (!form) return false;
  // Only a window can have a frame skin to ask.
  if (form->HandleAllocated()) {
    const LRESULT answer = ::SendMessageW(form->Handle(), WM_NUVSKIN_QUERYACTIVE, 0, 0);
    if (answer > 0) return answer == 1;
  }
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (!main) return form->Active();
  if (main->FormStyle() == fsMDIForm && main == form) return true;
  if (!Application->Active()) return false;
  if (form == main) return true;
  if (main->FormStyle() == fsMDIForm && main->ClientHandle() && form->HandleAllocated()) {
    const auto active = reinterpret_cast<HWND>(::SendMessageW(main->ClientHandle(), WM_MDIGETACTIVE, 0, 0));
    if (active == form->Handle()) return true;
  }
  return form->Active();
}

void GetWorkArea(HWND wnd, RECT& rect) {
  TMonitor* monitor = Application && Application->MainForm() && Screen ? Screen->MonitorFromWindow(wnd) : nullptr;
  if (monitor) rect = monitor->WorkareaRect();
  else ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rect, 0);
  rect.bottom -= 1;
}

void SetFormBounds(TCustomForm* form, const RECT& rect) {
  if (!form) return;
  form->SetLeft(rect.left);
  form->SetTop(rect.top);
  form->SetWidth(rect.right - rect.left);
  form->SetHeight(rect.bottom - rect.top);
}

bool PointInRect(int x, int y, const RECT& rect) {
  return rect.left <= x && x <= rect.right && rect.top <= y && y <= rect.bottom;
}

bool PointInRect(POINT point, const RECT& rect) { return PointInRect(point.x, point.y, rect); }

TCustomForm* FindFormByHandle(HWND wnd) {
  if (!Screen || !wnd) return nullptr;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    if (form && form->HandleAllocated() && form->Handle() == wnd) return form;
  }
  return nullptr;
}

}  // namespace nuvskin
