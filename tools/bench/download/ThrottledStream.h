#pragma once

#include <QElapsedTimer>

#include <ostream>

// Passes writes on to a target stream, at most at a given rate (0: no limit),
// and measures how long the writer spent inside write calls.
class ThrottledStream : public std::ostream {
public:
    ThrottledStream(std::ostream* target, double bytesPerSecond);
    ~ThrottledStream() override;

    double BusySeconds() const;

private:
    class Buffer;
    Buffer* buffer_;
};
