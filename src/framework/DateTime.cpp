#include "framework/DateTime.h"

#include <cmath>

#include "framework/SysUtils.h"

namespace nuvskin {

namespace {

constexpr long long kMsPerDay = 86'400'000;

// Days from 1970-01-01 of a proleptic Gregorian date, and back.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (month <= 2));
}

// Day 0 of the framework's count, 1899-12-30, counted from 1970-01-01.
const long long kEpochOffset = DaysFromCivil(1899, 12, 30);

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

long long TotalMs(double days) { return std::llround(days * static_cast<double>(kMsPerDay)); }

long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

TDateTime TDateTime::EncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    throw EConvertError("Invalid argument to date encode");
  return TDateTime(static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                                       kEpochOffset));
}

TDateTime TDateTime::EncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999)
    throw EConvertError("Invalid argument to time encode");
  const long long ms = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
  return TDateTime(static_cast<double>(ms) / static_cast<double>(kMsPerDay));
}

TDateTime TDateTime::FromSystemTime(const SYSTEMTIME& st) {
  return TDateTime(EncodeDate(st.wYear, st.wMonth, st.wDay).days_ +
                   EncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds).days_);
}

TDateTime TDateTime::Now() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  return FromSystemTime(st);
}

void TDateTime::DecodeDate(int& year, int& month, int& day) const {
  CivilFromDays(FloorDiv(TotalMs(days_), kMsPerDay) + kEpochOffset, year, month, day);
}

void TDateTime::DecodeTime(int& hour, int& minute, int& second, int& millisecond) const {
  const long long total = TotalMs(days_);
  long long ms = total - FloorDiv(total, kMsPerDay) * kMsPerDay;
  millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  second = static_cast<int>(ms % 60);
  ms /= 60;
  minute = static_cast<int>(ms % 60);
  hour = static_cast<int>(ms / 60);
}

SYSTEMTIME TDateTime::ToSystemTime() const {
  int y, mo, d, h, mi, s, ms;
  DecodeDate(y, mo, d);
  DecodeTime(h, mi, s, ms);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(mo);
  st.wDay = static_cast<WORD>(d);
  // 1899-12-30 was a Saturday.
  st.wDayOfWeek = static_cast<WORD>(((FloorDiv(TotalMs(days_), kMsPerDay) + 6) % 7 + 7) % 7);
  st.wHour = static_cast<WORD>(h);
  st.wMinute = static_cast<WORD>(mi);
  st.wSecond = static_cast<WORD>(s);
  st.wMilliseconds = static_cast<WORD>(ms);
  return st;
}

TDateTime TDateTime::DatePart() const {
  return TDateTime(static_cast<double>(FloorDiv(TotalMs(days_), kMsPerDay)));
}

TDateTime TDateTime::TimePart() const {
  const long long total = TotalMs(days_);
  return TDateTime(static_cast<double>(total - FloorDiv(total, kMsPerDay) * kMsPerDay) /
                   static_cast<double>(kMsPerDay));
}

bool TDateTime::operator==(TDateTime other) const { return TotalMs(days_) == TotalMs(other.days_); }

}  // namespace nuvskin
