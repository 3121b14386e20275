// The clock: local date and time now. The logic asks the clock instead of
// the system so that tests fix "today".
#ifndef TALLYBOOK_PLATFORM_CLOCK_H_
#define TALLYBOOK_PLATFORM_CLOCK_H_

namespace tallybook::platform {

struct DateTime {
  int year = 2000;
  int month = 1;        // 1..12
  int day = 1;          // 1..31
  int hour = 0;         // 0..23
  int minute = 0;
  int second = 0;
  int day_of_week = 6;  // 0 Sunday .. 6 Saturday

  bool operator==(const DateTime&) const = default;
};

// Day of the week (0 Sunday .. 6 Saturday) of a Gregorian date; the date
// must be valid (see IsValidDate).
int DayOfWeek(int year, int month, int day);
// True for a real Gregorian date with a year from 1 to 9999.
bool IsValidDate(int year, int month, int day);

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime Now() const = 0;
};

// The computer's local time.
class SystemClock : public Clock {
 public:
  DateTime Now() const override;
};

// A clock that always says the time it was set to; for tests and demos.
class FixedClock : public Clock {
 public:
  // Starts at 2024-01-01 12:00:00.
  FixedClock();
  // Invalid dates are refused: the clock keeps its time and returns false.
  bool Set(int year, int month, int day, int hour = 12, int minute = 0,
           int second = 0);
  DateTime Now() const override { return now_; }

 private:
  DateTime now_;
};

}  // namespace tallybook::platform

#endif  // TALLYBOOK_PLATFORM_CLOCK_H_
