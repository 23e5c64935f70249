#include "DropCounter.h"

#include <atomic>

namespace Log {

namespace {

std::atomic<std::uintmax_t> dropped {0};

} // namespace

std::uintmax_t DropCounter::Take()
{
    return dropped.exchange(0);
}

void DropCounter::Count()
{
    ++dropped;
}

} // namespace Log
