#pragma once

#include <QDate>

#include <cstdint>
#include <string>

// The first day of the month that a "yyyy.MM" release names; an invalid date
// when the text does not parse.
QDate ReleaseToDate(const std::string& release);

// The Julian day of a date; an invalid or null date gives the smallest value,
// so it lies before every valid date.
std::int64_t DayNumber(const QDate& date);
