#pragma once

#include <QDate>

#include <cstdint>

// The head unit's map subscription as read from the stick.
struct SubscriptionInfo {
    // True when today lies after the end date; a null end date counts as
    // expired, the end date itself does not.
    bool IsExpired() const;

    QDate endDate;
    std::int64_t availableMapSpace = 0;
    std::int64_t totalMapSpace = 0;
};
