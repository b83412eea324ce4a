#include "base/CalendarTime.h"

namespace tarvik::base {

std::tm UtcCalendarTime(std::time_t time) {
    std::tm parts{};
    ::gmtime_s(&parts, &time);
    return parts;
}

std::tm LocalCalendarTime(std::time_t time) {
    std::tm parts{};
    ::localtime_s(&parts, &time);
    return parts;
}

std::time_t TimeFromUtcCalendar(std::tm parts) {
    return ::_mkgmtime(&parts);
}

} // namespace tarvik::base
