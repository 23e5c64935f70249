#pragma once

#include "Md5.h"

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

namespace Brel {
namespace Tar {

// The MD5 of a byte stream, computed on a thread of its own so that hashing
// overlaps with unpacking. Update copies the bytes and returns at once unless
// a megabyte is already waiting to be hashed.
class Md5Worker {
public:
    Md5Worker();
    ~Md5Worker();
    Md5Worker(const Md5Worker&) = delete;
    Md5Worker& operator=(const Md5Worker&) = delete;

    void Update(const char* data, std::size_t size);
    // Waits until every byte is hashed; see Md5::Finish.
    std::string Finish();

private:
    void Run();

    Md5 md5_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string pending_;
    bool hashing_ = false;
    bool stopping_ = false;
    std::exception_ptr error_;
    std::thread thread_; // last: it starts once everything above exists
};

} // namespace Tar
} // namespace Brel
