#include "log/activity_log.h"

#include <cmath>
#include <cstdint>

#include "text/calendar.h"

namespace brindlecast {

namespace {

// Automation dates count from 1899-12-30.
const std::int64_t kAutomationEpochDays = days_from_civil(1899, 12, 30);
// The range a platform date conversion accepts: 100-01-01 to 9999-12-31.
constexpr double kFirstAutomationDate = -657434.0;
constexpr double kEndAutomationDate = 2958466.0;
constexpr int kSecondsPerDay = 86400;

constexpr std::string_view kDayNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
constexpr std::string_view kMonthNames[] = {"January", "February", "March",     "April",
                                            "May",     "June",     "July",      "August",
                                            "September", "October", "November", "December"};

struct CalendarFields {
    std::int64_t year = 0;
    int month = 1;
    int day = 1;
    int weekday = 0;  // 0 = Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
};

bool to_calendar_fields(double moment, CalendarFields& fields) {
    if (!std::isfinite(moment) || moment < kFirstAutomationDate || moment >= kEndAutomationDate) {
        return false;
    }
    // Before the epoch the whole part is the (negative) day and the fraction
    // still counts forward into it: -1.25 is 1899-12-29 06:00.
    const double whole = std::trunc(moment);
    auto day = static_cast<std::int64_t>(whole);
    auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(moment - whole) * kSecondsPerDay));
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        day += 1;
    }
    const std::int64_t days_since_1970 = day + kAutomationEpochDays;
    const CivilDate date = civil_from_days(days_since_1970);
    if (date.year < 100 || date.year > 9999) return false;
    fields.year = date.year;
    fields.month = date.month;
    fields.day = date.day;
    fields.weekday = static_cast<int>(((days_since_1970 % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday
    fields.hour = static_cast<int>(seconds / 3600);
    fields.minute = static_cast<int>(seconds / 60 % 60);
    fields.second = static_cast<int>(seconds % 60);
    return true;
}

void append_number(std::string& out, std::int64_t value, std::size_t width) {
    std::string digits = std::to_string(value);
    if (digits.size() < width) out.append(width - digits.size(), '0');
    out += digits;
}

// Writes one picture element (a run of the same letter); false when the
// letter is not a picture letter of this kind of picture.
bool write_date_element(std::string& out, char letter, std::size_t run, const CalendarFields& f) {
    switch (letter) {
    case 'd':
        if (run <= 2) append_number(out, f.day, run);
        else if (run == 3) out += kDayNames[f.weekday].substr(0, 3);
        else out += kDayNames[f.weekday];
        return true;
    case 'M':
        if (run <= 2) append_number(out, f.month, run);
        else if (run == 3) out += kMonthNames[f.month - 1].substr(0, 3);
        else out += kMonthNames[f.month - 1];
        return true;
    case 'y':
        if (run <= 2) append_number(out, f.year % 100, run);
        else append_number(out, f.year, 4);
        return true;
    default:
        return false;
    }
}

bool write_time_element(std::string& out, char letter, std::size_t run, const CalendarFields& f,
                        bool force_24_hour) {
    const std::size_t width = run >= 2 ? 2 : 1;
    switch (letter) {
    case 'h':
        if (force_24_hour) {
            append_number(out, f.hour, width);
        } else {
            append_number(out, f.hour % 12 == 0 ? 12 : f.hour % 12, width);
        }
        return true;
    case 'H':
        append_number(out, f.hour, width);
        return true;
    case 'm':
        append_number(out, f.minute, width);
        return true;
    case 's':
        append_number(out, f.second, width);
        return true;
    case 't':
        out += f.hour < 12 ? (run >= 2 ? "AM" : "A") : (run >= 2 ? "PM" : "P");
        return true;
    default:
        return false;
    }
}

std::string format_picture(std::string_view picture, const CalendarFields& fields, bool is_date,
                           bool force_24_hour) {
    std::string out;
    std::size_t i = 0;
    while (i < picture.size()) {
        const char c = picture[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            // A two-byte character is copied whole: its second byte may look
            // like a picture letter.
            const std::size_t take = i + 1 < picture.size() ? 2 : 1;
            out.append(picture.substr(i, take));
            i += take;
            continue;
        }
        if (c == '\'') {
            // Two quotes in a row stand for one, inside or outside a literal.
            if (i + 1 < picture.size() && picture[i + 1] == '\'') {
                out += '\'';
                i += 2;
                continue;
            }
            ++i;
            while (i < picture.size()) {
                if (picture[i] == '\'') {
                    if (i + 1 < picture.size() && picture[i + 1] == '\'') {
                        out += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += picture[i++];
            }
            continue;
        }
        std::size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) ++run;
        const bool written = is_date ? write_date_element(out, c, run, fields)
                                     : write_time_element(out, c, run, fields, force_24_hour);
        if (!written) out.append(run, c);
        i += run;
    }
    return out;
}

// Pictures shorter than this give an empty part.
constexpr std::size_t kShortestPicture = 3;

}  // namespace

double to_automation_date(const LocalDateTime& moment) {
    const std::int64_t day = days_from_civil(moment.year, moment.month, moment.day) - kAutomationEpochDays;
    const double fraction =
        static_cast<double>(moment.hour * 3600 + moment.minute * 60 + moment.second) / kSecondsPerDay;
    return day >= 0 ? static_cast<double>(day) + fraction : static_cast<double>(day) - fraction;
}

std::string format_date_time(double moment, std::optional<std::string_view> date_pattern,
                             std::optional<std::string_view> time_pattern, int force_24_hour) {
    if (!date_pattern && !time_pattern) return {};
    CalendarFields fields;
    if (!to_calendar_fields(moment, fields)) return {};
    std::string result;
    if (date_pattern && date_pattern->size() >= kShortestPicture) {
        result += format_picture(*date_pattern, fields, true, false);
    }
    if (time_pattern && time_pattern->size() >= kShortestPicture) {
        result += format_picture(*time_pattern, fields, false, force_24_hour == 1);
    }
    return result;
}

std::string make_log_line(std::string_view message, const LocalDateTime& moment) {
    std::string line = format_date_time(to_automation_date(moment), "M/d ", "hh:mm:ss", 1);
    line.reserve(line.size() + message.size() + 4);
    line += ": ";
    line += message;
    line += "\r\n";
    return line;
}

void append_log(LogSink& sink, std::string_view message, const Clock& clock) {
    sink.write_line(make_log_line(message, clock.now()));
}

}  // namespace brindlecast
