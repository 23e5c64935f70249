#pragma once

#include "Log.h"

#include <boost/shared_ptr.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Switches logging on and keeps every record in memory while it lives, so a
// test can check what the code under test logged. An observer sees each
// record as it is logged, on the logging thread.
class LogCapture {
public:
    struct Record {
        Log::Severity severity;
        std::string channel;
        std::string function;
        std::string message;
    };

    using Observer = std::function<void(const Record&)>;
    explicit LogCapture(Observer observer = {});
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<Record> Records() const;
    // Records of that severity whose message starts with the text.
    int Count(Log::Severity severity, const std::string& messageStart) const;

    class Backend;

private:
    boost::shared_ptr<Backend> backend_;
    boost::shared_ptr<void> sink_;
};
