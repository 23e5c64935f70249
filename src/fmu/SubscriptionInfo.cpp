#include "SubscriptionInfo.h"

#include "ReleaseDate.h"

bool SubscriptionInfo::IsExpired() const
{
    return DayNumber(QDate::currentDate()) > DayNumber(endDate);
}
