#include "AsyncWriterTestStream.h"

#include <QThread>

#include <atomic>
#include <mutex>
#include <streambuf>

class AsyncWriterTestStream::Buffer : public std::streambuf {
public:
    explicit Buffer(std::ostream* target)
        : target_(target)
    {
    }

    std::streamsize xsputn(const char* data, std::streamsize count) override
    {
        std::function<void()> failure;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            failure = failure_;
        }
        if (failure)
            failure();
        // Like a slow device: the bytes are in only when the write returns.
        if (rate_ > 0)
            QThread::usleep(static_cast<unsigned long>(count * 1000000 / rate_));
        if (target_)
            target_->write(data, count);
        const std::lock_guard<std::mutex> lock(mutex_);
        writes_.push_back(static_cast<int>(count));
        total_ += count;
        return count;
    }

    pos_type seekoff(off_type, std::ios_base::seekdir, std::ios_base::openmode) override
    {
        return target_ ? target_->tellp() : pos_type(total_.load());
    }

    std::ostream* target_;
    std::atomic<qint64> rate_ {0};
    std::atomic<qint64> total_ {0};
    mutable std::mutex mutex_;
    std::vector<int> writes_;
    std::function<void()> failure_;
};

AsyncWriterTestStream::AsyncWriterTestStream(std::ostream* target)
    : std::ostream(nullptr)
    , buffer_(std::make_unique<Buffer>(target))
{
    init(buffer_.get());
    exceptions(std::ios::badbit | std::ios::failbit);
}

AsyncWriterTestStream::~AsyncWriterTestStream() = default;

void AsyncWriterTestStream::Throttle(qint64 bytesPerSecond)
{
    buffer_->rate_ = bytesPerSecond;
}

void AsyncWriterTestStream::FailWith(std::function<void()> failure)
{
    const std::lock_guard<std::mutex> lock(buffer_->mutex_);
    buffer_->failure_ = std::move(failure);
}

std::vector<int> AsyncWriterTestStream::Writes() const
{
    const std::lock_guard<std::mutex> lock(buffer_->mutex_);
    return buffer_->writes_;
}

qint64 AsyncWriterTestStream::Total() const
{
    return buffer_->total_;
}
