#include "base/CalendarTime.h"

namespace tarvik::base {

std::tm UtcCalendarTime(std::time_t time) {
    std::tm parts{};
    ::gmtime_r(&time, &parts);
    return parts;
}

std::tm LocalCalendarTime(std::time_t time) {
    std::tm parts{};
    ::localtime_r(&time, &parts);
    return parts;
}

std::time_t TimeFromUtcCalendar(std::tm parts) {
    return ::timegm(&parts);
}

} // namespace tarvik::base
