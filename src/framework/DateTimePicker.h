// The date-time picker (SysDateTimePick32): a date with a drop-down month
// calendar or spin buttons, or a time with spin buttons.
#pragma once

#include "framework/CommonControls.h"
#include "framework/DateTime.h"

namespace nuvskin {

enum TDateTimeKind { dtkDate, dtkTime };
NUV_ENUM(TDateTimeKind, "dtkDate", "dtkTime");
enum TDTDateMode { dmComboBox, dmUpDown };
NUV_ENUM(TDTDateMode, "dmComboBox", "dmUpDown");
enum TDTDateFormat { dfShort, dfLong };
NUV_ENUM(TDTDateFormat, "dfShort", "dfLong");

class TDateTimePicker : public TWinControl {
  NUV_CLASS(TDateTimePicker, TWinControl)
  static void Publish(ClassBuilder<TDateTimePicker>& b);
  explicit TDateTimePicker(TComponent* owner);

  // The value the window shows.
  TDateTime DateTime() const;
  void SetDateTime(TDateTime value);
  // Setting one part keeps the other.
  TDateTime Date() const { return DateTime().DatePart(); }
  void SetDate(TDateTime value) { SetDateTime(value.DatePart() + DateTime().TimePart()); }
  TDateTime Time() const { return DateTime().TimePart(); }
  void SetTime(TDateTime value) { SetDateTime(DateTime().DatePart() + value.TimePart()); }
  TDateTimeKind Kind() const { return kind_; }
  void SetKind(TDateTimeKind value);
  // dmUpDown replaces the drop-down calendar by spin buttons (DTS_UPDOWN).
  TDTDateMode DateMode() const { return dateMode_; }
  void SetDateMode(TDTDateMode value);
  TDTDateFormat DateFormat() const { return dateFormat_; }
  void SetDateFormat(TDTDateFormat value);
  // Whether the month calendar is dropped down.
  bool DroppedDown() const;

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void DestroyWnd() override;
  void WndProc(TMessage& message) override;
  virtual void Change();

 private:
  mutable TDateTime dateTime_;
  TDateTimeKind kind_ = dtkDate;
  TDTDateMode dateMode_ = dmComboBox;
  TDTDateFormat dateFormat_ = dfShort;
};

}  // namespace nuvskin
