#pragma once

#include <QtGlobal>

#include <ostream>

namespace Brel {

// The caller's side of a request: progress, written bytes and one result for
// each run of the request. A callee may delete the request inside OnResult.
class IResponse {
public:
    enum Result { Ok, ContentError, ServerError, NoConnection, IOError };

    virtual ~IResponse() = default;
    virtual void OnProgress(qint64 received, qint64 total)
    {
        Q_UNUSED(received);
        Q_UNUSED(total);
    }
    // Bytes just written to the output stream.
    virtual void OnData(qint64 bytes) { Q_UNUSED(bytes); }
    virtual void OnResult(Result result) = 0;
};

// Writes the result's name; nothing for a value outside the enumeration.
std::ostream& operator<<(std::ostream& out, IResponse::Result result);

} // namespace Brel
