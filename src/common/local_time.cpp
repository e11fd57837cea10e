#include "common/local_time.h"

#include <locale.h>

namespace quorvan {

namespace {

std::tm ToTm(const LocalDateTime& v) {
    std::tm tm{};
    tm.tm_year = v.year - 1900;
    tm.tm_mon = v.month - 1;
    tm.tm_mday = v.day;
    tm.tm_hour = v.hour;
    tm.tm_min = v.minute;
    tm.tm_sec = v.second;
    tm.tm_isdst = -1;
    return tm;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

}  // namespace

bool IsValidDateTime(const LocalDateTime& v) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (v.year < 1601 || v.year > 30827 || v.month < 1 || v.month > 12 || v.day < 1) {
        return false;
    }
    int days = kDays[v.month - 1] + (v.month == 2 && IsLeapYear(v.year) ? 1 : 0);
    return v.day <= days && v.hour >= 0 && v.hour <= 23 && v.minute >= 0 && v.minute <= 59 &&
           v.second >= 0 && v.second <= 59;
}

int64_t LocalToSeconds(const LocalDateTime& value) {
    if (value.year < 1900) {
        return 0;
    }
    std::tm tm = ToTm(value);
    return static_cast<int64_t>(mktime(&tm));
}

LocalDateTime SecondsToLocal(int64_t seconds) {
    time_t t = static_cast<time_t>(seconds);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

LocalDateTime CurrentLocalTime() {
    return SecondsToLocal(static_cast<int64_t>(time(nullptr)));
}

int64_t CombineDateAndTime(const LocalDateTime& date, const LocalDateTime& time) {
    return LocalToSeconds({date.year, date.month, date.day, time.hour, time.minute, time.second});
}

std::string FormatLocal(const LocalDateTime& value, const char* format) {
    static locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    std::tm tm = ToTm(value);
    tm.tm_wday = 0;
    tm.tm_yday = 0;
    char buffer[128];
    size_t n = strftime_l(buffer, sizeof buffer, format, &tm, classic);
    return std::string(buffer, n);
}

}  // namespace quorvan
