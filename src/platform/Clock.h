#pragma once
// The local date, from the system clock or, in tests, set by hand.

namespace duv {

struct LocalDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDate Today() const = 0;
};

class SystemClock : public Clock {
 public:
  LocalDate Today() const override;
};

class FixedClock : public Clock {
 public:
  explicit FixedClock(LocalDate date) : date_(date) {}
  void Set(LocalDate date) { date_ = date; }
  LocalDate Today() const override { return date_; }

 private:
  LocalDate date_;
};

}  // namespace duv
