#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace quorvan {

// A local wall-clock value as a date/time picker shows it: calendar date and
// time of day in whole seconds, without any time-zone shift. The default is the
// zero file time, 1601-01-01 00:00:00.
struct LocalDateTime {
    int year = 1601;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const LocalDateTime&) const = default;
};

// True when the fields name a real calendar date and time of day.
bool IsValidDateTime(const LocalDateTime& value);

// Seconds since the epoch of a local calendar value, daylight saving decided by
// the C library for that date. Years before 1900 give 0.
int64_t LocalToSeconds(const LocalDateTime& value);

// The local calendar value of a count of seconds since the epoch.
LocalDateTime SecondsToLocal(int64_t seconds);

// The current local time, whole seconds.
LocalDateTime CurrentLocalTime();

// The calendar date of `date` with the time of day of `time`, as seconds.
int64_t CombineDateAndTime(const LocalDateTime& date, const LocalDateTime& time);

// strftime of a local value, in the "C" locale.
std::string FormatLocal(const LocalDateTime& value, const char* format);

// The program's fixed text forms.
constexpr const char* kDateFormat = "%m-%d-%Y";
constexpr const char* kTimeFormat = "%H:%M:%S";
// What "%c" gives in the classic locale: 12/06/02 23:07:30.
constexpr const char* kClassicDateTimeFormat = "%m/%d/%y %H:%M:%S";
constexpr const char* kTwelveHourFormat = "%I:%M:%S %p";

}  // namespace quorvan
