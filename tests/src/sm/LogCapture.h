#pragma once

#include "Log.h"

#include <boost/log/sinks/basic_sink_backend.hpp>
#include <boost/log/sinks/sync_frontend.hpp>
#include <boost/smart_ptr/shared_ptr.hpp>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

// Keeps the program's log records in memory while it is installed. Records
// arrive synchronously, on the thread that writes them, so a test can also
// act from inside the code that writes a record.
class LogCapture : public boost::log::sinks::basic_sink_backend<boost::log::sinks::synchronized_feeding> {
public:
    struct Record {
        Log::Severity severity;
        std::string function;
        std::string message;
    };
    using Hook = std::function<void(const Record&)>;

    // Switches logging on and adds a capture as a sink; removed by Uninstall.
    static boost::shared_ptr<LogCapture> Install();
    void Uninstall();

    // Called for every record after it has been kept.
    void SetHook(Hook hook);

    std::vector<Record> Records() const;
    // The messages at Info and above, in order.
    std::vector<std::string> InfoMessages() const;
    bool Contains(const std::string& message) const;

    void consume(const boost::log::record_view& view);

private:
    using Sink = boost::log::sinks::synchronous_sink<LogCapture>;

    mutable std::mutex mutex;
    std::vector<Record> records;
    Hook hook;
    boost::shared_ptr<Sink> sink;
};
