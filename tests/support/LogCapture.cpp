#include "LogCapture.h"

#include <boost/log/attributes/value_extraction.hpp>
#include <boost/log/core/core.hpp>
#include <boost/log/sinks/basic_sink_backend.hpp>
#include <boost/log/sinks/sync_frontend.hpp>
#include <boost/make_shared.hpp>

#include <algorithm>
#include <mutex>

class LogCapture::Backend : public boost::log::sinks::basic_sink_backend<boost::log::sinks::synchronized_feeding> {
public:
    void consume(const boost::log::record_view& record)
    {
        namespace logging = boost::log;
        Record copy {logging::extract_or_default<Log::Severity>(record["Severity"], Log::Debug),
            logging::extract_or_default<std::string>(record["Channel"], std::string()),
            logging::extract_or_default<std::string>(record["Function"], std::string()),
            logging::extract_or_default<std::string>(record["Message"], std::string())};
        if (observer)
            observer(copy);
        const std::lock_guard<std::mutex> lock(mutex);
        records.push_back(std::move(copy));
    }

    Observer observer;
    mutable std::mutex mutex;
    std::vector<Record> records;
};

namespace {

using Sink = boost::log::sinks::synchronous_sink<LogCapture::Backend>;

} // namespace

LogCapture::LogCapture(Observer observer)
    : backend_(boost::make_shared<Backend>())
{
    backend_->observer = std::move(observer);
    Log::g_lg::get();
    auto sink = boost::make_shared<Sink>(backend_);
    boost::log::core::get()->add_sink(sink);
    boost::log::core::get()->set_logging_enabled(true);
    sink_ = sink;
}

LogCapture::~LogCapture()
{
    boost::log::core::get()->set_logging_enabled(false);
    boost::log::core::get()->remove_sink(boost::static_pointer_cast<Sink>(sink_));
}

std::vector<LogCapture::Record> LogCapture::Records() const
{
    const std::lock_guard<std::mutex> lock(backend_->mutex);
    return backend_->records;
}

int LogCapture::Count(Log::Severity severity, const std::string& messageStart) const
{
    const auto records = Records();
    return static_cast<int>(std::count_if(records.begin(), records.end(), [&](const Record& record) {
        return record.severity == severity && record.message.compare(0, messageStart.size(), messageStart) == 0;
    }));
}
