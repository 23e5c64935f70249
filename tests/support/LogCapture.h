#pragma once

#include "Log.h"

#include <boost/log/sinks/basic_sink_backend.hpp>
#include <boost/log/sinks/sync_frontend.hpp>
#include <boost/make_shared.hpp>

// Switches logging on and keeps every record while it lives; an observer sees each as it is logged, on that thread.
class LogCapture {
public:
    struct Record {
        Log::Severity severity;
        std::string channel, function, message;
    };
    using Observer = std::function<void(const Record&)>;

    explicit LogCapture(Observer observer = [](const Record&) {})
    {
        sink->locked_backend()->observer = std::move(observer);
        Log::g_lg::get();
        boost::log::core::get()->add_sink(sink);
        boost::log::core::get()->set_logging_enabled(true);
    }
    ~LogCapture()
    {
        boost::log::core::get()->set_logging_enabled(false);
        boost::log::core::get()->remove_sink(sink);
    }

    std::vector<Record> Records() const { return sink->locked_backend()->records; }
    int Count(Log::Severity severity, const std::string& messageStart) const
    {
        const auto records = Records();
        return int(std::count_if(records.begin(), records.end(), [&](const Record& record) {
            return record.severity == severity && record.message.compare(0, messageStart.size(), messageStart) == 0;
        }));
    }

private:
    struct Backend : boost::log::sinks::basic_sink_backend<boost::log::sinks::synchronized_feeding> {
        void consume(const boost::log::record_view& record)
        {
            const auto text = [&record](const char* name) {
                return boost::log::extract_or_default<std::string>(record[name], std::string());
            };
            Record copy {boost::log::extract_or_default<Log::Severity>(record["Severity"], Log::Debug), text("Channel"),
                text("Function"), text("Message")};
            observer(copy);
            records.push_back(std::move(copy)); // the sink's frontend feeds one record at a time
        }

        Observer observer;
        std::vector<Record> records;
    };
    using Sink = boost::log::sinks::synchronous_sink<Backend>;

    const boost::shared_ptr<Sink> sink = boost::make_shared<Sink>();
};
