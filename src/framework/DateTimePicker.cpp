#include "framework/DateTimePicker.h"

#include "framework/SysUtils.h"

namespace nuvskin {

void TDateTimePicker::Publish(ClassBuilder<TDateTimePicker>& b) {
  PublishControl(b, {"Align", "Anchors", "BiDiMode", "Color", "Constraints", "Enabled", "Font", "Hint",
                     "ParentBiDiMode", "ParentColor", "ParentFont", "PopupMenu", "Visible", "TabOrder", "TabStop",
                     "OnClick", "OnEnter", "OnExit"});
  b.Enum("DateFormat", &TDateTimePicker::DateFormat, &TDateTimePicker::SetDateFormat);
  b.Enum("DateMode", &TDateTimePicker::DateMode, &TDateTimePicker::SetDateMode);
  b.Enum("Kind", &TDateTimePicker::Kind, &TDateTimePicker::SetKind);
  b.Event("OnChange", &TDateTimePicker::OnChange);
  b.Event("OnCloseUp", &TDateTimePicker::OnCloseUp);
  b.Event("OnDropDown", &TDateTimePicker::OnDropDown);
}

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 186, 21);
  SetTabStop(true);
  SetParentColor(false);
  dateTime_ = TDateTime::Now();
}

void TDateTimePicker::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  params.SysClassName = DATETIMEPICK_CLASSW;
  if (kind_ == dtkTime) {
    params.Style |= DTS_TIMEFORMAT;  // includes DTS_UPDOWN
  } else {
    params.Style |= dateFormat_ == dfLong ? DTS_LONGDATEFORMAT : DTS_SHORTDATEFORMAT;
    if (dateMode_ == dmUpDown) params.Style |= DTS_UPDOWN;
  }
}

void TDateTimePicker::CreateHandle() {
  TWinControl::CreateHandle();
  SYSTEMTIME st = dateTime_.ToSystemTime();
  ::SendMessageW(WindowHandle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void TDateTimePicker::DestroyWnd() {
  dateTime_ = DateTime();
  TWinControl::DestroyWnd();
}

TDateTime TDateTimePicker::DateTime() const {
  if (HandleAllocated()) {
    SYSTEMTIME st{};
    if (::SendMessageW(WindowHandle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) == GDT_VALID) {
      try {
        dateTime_ = TDateTime::FromSystemTime(st);
      } catch (const EConvertError&) {
        // keep the last good value
      }
    }
  }
  return dateTime_;
}

void TDateTimePicker::SetDateTime(TDateTime value) {
  int year, month, day;
  value.DecodeDate(year, month, day);
  if (year < 1601 || year > 9999) throw EConvertError("Date outside the range a date-time picker shows");
  SYSTEMTIME st = value.ToSystemTime();
  const bool changed = !(DateTime() == value);
  dateTime_ = value;
  if (HandleAllocated()) ::SendMessageW(WindowHandle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  if (changed) Change();
}

void TDateTimePicker::SetKind(TDateTimeKind value) {
  if (value == kind_) return;
  kind_ = value;
  dateTime_ = DateTime();
  RecreateWnd();
}

void TDateTimePicker::SetDateMode(TDTDateMode value) {
  if (value == dateMode_) return;
  dateMode_ = value;
  dateTime_ = DateTime();
  RecreateWnd();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat value) {
  if (value == dateFormat_) return;
  dateFormat_ = value;
  dateTime_ = DateTime();
  RecreateWnd();
}

bool TDateTimePicker::DroppedDown() const {
  // Some systems keep the hidden calendar window between drop-downs.
  HWND calendar = HandleAllocated() ? reinterpret_cast<HWND>(::SendMessageW(WindowHandle(), DTM_GETMONTHCAL, 0, 0))
                                    : nullptr;
  return calendar && ::IsWindowVisible(calendar);
}

void TDateTimePicker::Change() {
  if (OnChange) OnChange(this);
}

void TDateTimePicker::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    switch (hdr->code) {
      case DTN_DATETIMECHANGE: {
        auto* change = reinterpret_cast<NMDATETIMECHANGE*>(m.LParam);
        if (change->dwFlags == GDT_VALID) {
          try {
            dateTime_ = TDateTime::FromSystemTime(change->st);
          } catch (const EConvertError&) {
            break;
          }
        }
        m.Result = 0;
        Change();
        return;
      }
      case DTN_DROPDOWN:
        m.Result = 0;
        if (OnDropDown) OnDropDown(this);
        return;
      case DTN_CLOSEUP:
        m.Result = 0;
        if (OnCloseUp) OnCloseUp(this);
        return;
      default:
        break;
    }
  }
  TWinControl::WndProc(m);
}

}  // namespace nuvskin
