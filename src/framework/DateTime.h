// A date and time as the classic framework counts it: days since
// 30 December 1899, the time of day as the fraction.
#pragma once

#include "framework/Win32.h"

namespace nuvskin {

class TDateTime {
 public:
  constexpr TDateTime() = default;
  constexpr explicit TDateTime(double days) : days_(days) {}
  constexpr double Days() const { return days_; }

  // Raise EConvertError for an impossible date or time.
  static TDateTime EncodeDate(int year, int month, int day);
  static TDateTime EncodeTime(int hour, int minute, int second, int millisecond = 0);
  static TDateTime FromSystemTime(const SYSTEMTIME& st);
  static TDateTime Now();
  SYSTEMTIME ToSystemTime() const;
  void DecodeDate(int& year, int& month, int& day) const;
  void DecodeTime(int& hour, int& minute, int& second, int& millisecond) const;

  // The date part (midnight) and the time-of-day part (a fraction of a day).
  TDateTime DatePart() const;
  TDateTime TimePart() const;
  TDateTime operator+(TDateTime other) const { return TDateTime(days_ + other.days_); }
  // Equal to the millisecond.
  bool operator==(TDateTime other) const;
  bool operator<(TDateTime other) const { return days_ < other.days_ && !(*this == other); }

 private:
  double days_ = 0;
};

}  // namespace nuvskin
