#pragma once

// A moment as calendar fields, in UTC or in the user's time zone: the thread-safe forms of
// gmtime and localtime (and the inverse of gmtime), which each platform names differently.

#include <ctime>

namespace tarvik::base {

std::tm UtcCalendarTime(std::time_t time);
std::tm LocalCalendarTime(std::time_t time);

// The moment that calendar fields in UTC name (the inverse of UtcCalendarTime); a field
// out of its range carries into the next (the 32nd of January is the 1st of February).
std::time_t TimeFromUtcCalendar(std::tm parts);

} // namespace tarvik::base
