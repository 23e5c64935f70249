#pragma once

#include <boost/log/core/record_view.hpp>

#include <cstdint>

namespace Log {

// The file logger's answer to a full record queue: the record is dropped and
// counted, so that a flood of records costs neither memory nor the logging
// threads' time. The count is taken by the next line that is written.
class DropCounter {
public:
    template <typename Lock> bool on_overflow(const boost::log::record_view&, Lock&)
    {
        Count();
        return false;
    }
    void on_queue_space_available() { }
    void interrupt() { }

    // The records dropped since the last call.
    static std::uintmax_t Take();

private:
    static void Count();
};

} // namespace Log
