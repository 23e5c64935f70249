#include "Md5Worker.h"

namespace Brel {
namespace Tar {

namespace {

constexpr std::size_t pendingLimit = 1 << 20;

} // namespace

Md5Worker::Md5Worker()
    : thread_([this] { Run(); })
{
}

Md5Worker::~Md5Worker()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void Md5Worker::Update(const char* data, std::size_t size)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return pending_.size() < pendingLimit; });
    pending_.append(data, size);
    changed_.notify_all();
}

std::string Md5Worker::Finish()
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return pending_.empty() && !hashing_; });
    if (error_)
        std::rethrow_exception(error_);
    return md5_.Finish();
}

// Takes everything pending at once (the buffers are swapped, not copied) and
// hashes it without the lock.
void Md5Worker::Run()
{
    std::string working;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
        if (stopping_)
            return;
        working.swap(pending_);
        pending_.clear();
        hashing_ = true;
        changed_.notify_all();
        lock.unlock();
        std::exception_ptr error;
        try {
            md5_.Update(working.data(), working.size());
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        if (error)
            error_ = error;
        hashing_ = false;
        changed_.notify_all();
    }
}

} // namespace Tar
} // namespace Brel
