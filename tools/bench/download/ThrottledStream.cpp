#include "ThrottledStream.h"

#include <QThread>

#include <atomic>
#include <streambuf>

class ThrottledStream::Buffer : public std::streambuf {
public:
    Buffer(std::ostream* target, double bytesPerSecond)
        : target_(target)
        , rate_(bytesPerSecond)
    {
    }

    std::streamsize xsputn(const char* data, std::streamsize count) override
    {
        QElapsedTimer busy;
        busy.start();
        if (!clock_.isValid())
            clock_.start();
        target_->write(data, count);
        written_ += count;
        if (rate_ > 0) {
            // Pace the total, not each write, so short writes are not slowed twice.
            const double due = written_ / rate_ * 1e6 - clock_.nsecsElapsed() / 1e3;
            if (due > 0)
                QThread::usleep(static_cast<unsigned long>(due));
        }
        busyNs_ += busy.nsecsElapsed();
        return count;
    }

    pos_type seekoff(off_type, std::ios_base::seekdir, std::ios_base::openmode) override { return target_->tellp(); }

    std::ostream* target_;
    double rate_;
    QElapsedTimer clock_;
    qint64 written_ = 0;
    std::atomic<qint64> busyNs_ {0};
};

ThrottledStream::ThrottledStream(std::ostream* target, double bytesPerSecond)
    : std::ostream(nullptr)
    , buffer_(new Buffer(target, bytesPerSecond))
{
    init(buffer_);
    exceptions(std::ios::badbit | std::ios::failbit);
}

ThrottledStream::~ThrottledStream()
{
    delete buffer_;
}

double ThrottledStream::BusySeconds() const
{
    return buffer_->busyNs_ / 1e9;
}
