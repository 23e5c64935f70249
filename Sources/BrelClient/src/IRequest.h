#pragma once

#include <QtGlobal>

namespace Brel {

// One HTTP GET to the content-update service or to a map archive. Made by the
// client, owned by the caller; deleting it cancels it without a result.
class IRequest {
public:
    virtual ~IRequest() = default;
    // Inactivity time-out: the longest silence before the first data or
    // between two arrivals of data.
    virtual void SetTimeout(qint64 milliseconds) = 0;
    virtual void Send() = 0;
    // Sends again, resuming from the data already consumed where the request
    // supports it.
    virtual bool Retry() = 0;
    virtual void Abort() = 0;
    // The bytes the caller has written so far; decides whether a failure of
    // a configured request is retried.
    virtual void GetDownloadedbytes(qint64 bytes) = 0;
    // Opens a retry window and resends; does nothing while a window is open.
    virtual void StartAutomaticRetry() = 0;
    virtual void SetAutomaticRetryTimeout(qint64 milliseconds) = 0;
    // Reads the retry window from config.json; returns it in milliseconds.
    virtual int ReadRetryDurationFromConfig() = 0;
};

} // namespace Brel
