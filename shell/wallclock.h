#pragma once
// Calendar time: local as the log stamps it, UTC as a session is dated. The
// log takes its clock as a function, so tests run it on a fixed time.

#include <functional>

struct TSessionDate;

struct TWallTime {
  int Year = 0, Month = 0, Day = 0;
  int Hour = 0, Minute = 0, Second = 0;
};

using TWallClock = std::function<TWallTime()>;

// The system's local time now.
TWallTime LocalWallTime();

// Today's date in UTC, as a capture or a new session stamps the session.
TSessionDate UtcToday();
