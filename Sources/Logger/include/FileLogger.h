#pragma once

#include "Log.h"

#include <boost/log/sinks/async_frontend.hpp>
#include <boost/log/sinks/text_file_backend.hpp>

#include <cstdint>
#include <memory>
#include <string>

namespace Log {

// Writes the accepted records into rotating files "%Y-%m-%d-%H%M%S.log" in
// the logs folder, through an asynchronous sink with its own thread.
class FileLogger : public ILogger {
public:
    static constexpr std::uintmax_t kRotationSize = 32u * 1024u * 1024u;

    explicit FileLogger(const std::string& logsDir, std::uintmax_t rotationSize = kRotationSize);
    ~FileLogger() override;

    void SetLevel(Severity level) override;

private:
    using Sink = boost::log::sinks::asynchronous_sink<boost::log::sinks::text_file_backend>;
    boost::shared_ptr<Sink> sink_;
};

} // namespace Log
