#pragma once

#include "DropCounter.h"
#include "Log.h"

#include <boost/log/sinks/async_frontend.hpp>
#include <boost/log/sinks/bounded_fifo_queue.hpp>
#include <boost/log/sinks/text_file_backend.hpp>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace Log {

// Writes the accepted records into rotating files "%Y-%m-%d-%H%M%S.log" in
// the logs folder, one line each, through an asynchronous sink with its own
// thread. Its queue holds at most kQueueBound records: those beyond are
// dropped, and their count is written before the next record.
class FileLogger : public ILogger {
public:
    static constexpr std::uintmax_t kRotationSize = 32u * 1024u * 1024u;
    static constexpr std::size_t kQueueBound = 10000;
    // Without its thread the sink writes only when it is destroyed (the seam
    // that the tests of the bound use).
    enum class Writing { OwnThread, AtTheEnd };

    explicit FileLogger(
        const std::string& logsDir, std::uintmax_t rotationSize = kRotationSize, Writing writing = Writing::OwnThread);
    ~FileLogger() override;

    void SetLevel(Severity level) override;

private:
    using Sink = boost::log::sinks::asynchronous_sink<boost::log::sinks::text_file_backend,
        boost::log::sinks::bounded_fifo_queue<kQueueBound, DropCounter>>;
    boost::shared_ptr<Sink> sink_;
};

} // namespace Log
