#include "LogCapture.h"

#include <boost/log/attributes/value_extraction.hpp>
#include <boost/log/core/core.hpp>
#include <boost/make_shared.hpp>

#include <algorithm>

boost::shared_ptr<LogCapture> LogCapture::Install()
{
    Log::g_lg::get(); // its creation switches the core off
    boost::log::core::get()->set_logging_enabled(true);
    auto capture = boost::make_shared<LogCapture>();
    capture->sink = boost::make_shared<Sink>(capture);
    boost::log::core::get()->add_sink(capture->sink);
    return capture;
}

void LogCapture::Uninstall()
{
    boost::log::core::get()->remove_sink(sink);
    sink.reset();
}

void LogCapture::SetHook(Hook newHook)
{
    std::lock_guard<std::mutex> lock(mutex);
    hook = std::move(newHook);
}

std::vector<LogCapture::Record> LogCapture::Records() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return records;
}

std::vector<std::string> LogCapture::InfoMessages() const
{
    std::vector<std::string> messages;
    for (const Record& record : Records()) {
        if (record.severity >= Log::Info)
            messages.push_back(record.message);
    }
    return messages;
}

bool LogCapture::Contains(const std::string& message) const
{
    const auto all = Records();
    return std::any_of(all.begin(), all.end(), [&message](const Record& record) { return record.message == message; });
}

void LogCapture::consume(const boost::log::record_view& view)
{
    Record record {boost::log::extract_or_default<Log::Severity>("Severity", view, Log::Debug),
        boost::log::extract_or_default<std::string>("Function", view, std::string()),
        boost::log::extract_or_default<std::string>("Message", view, std::string())};
    Hook current;
    {
        std::lock_guard<std::mutex> lock(mutex);
        records.push_back(record);
        current = hook;
    }
    if (current)
        current(record);
}
