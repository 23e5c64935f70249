#include "ReleaseDate.h"

#include <limits>

QDate ReleaseToDate(const std::string& release)
{
    return QDate::fromString(QString::fromStdString(release), QStringLiteral("yyyy.MM"));
}

std::int64_t DayNumber(const QDate& date)
{
    return date.isValid() ? date.toJulianDay() : std::numeric_limits<std::int64_t>::min();
}
