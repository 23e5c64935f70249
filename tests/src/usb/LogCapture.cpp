#include "LogCapture.h"

#include "Log.h"

#include <boost/core/null_deleter.hpp>
#include <boost/log/core/core.hpp>
#include <boost/log/expressions.hpp>
#include <boost/make_shared.hpp>

LogCapture::LogCapture()
    : m_stream(boost::make_shared<std::ostringstream>())
    , m_sink(boost::make_shared<Sink>())
{
    // The global logger switches the core off when it is first built.
    Log::g_lg::get();
    m_sink->locked_backend()->add_stream(m_stream);
    m_sink->set_formatter(boost::log::expressions::stream << boost::log::expressions::smessage);
    boost::log::core::get()->add_sink(m_sink);
    boost::log::core::get()->set_logging_enabled(true);
}

LogCapture::~LogCapture()
{
    boost::log::core::get()->set_logging_enabled(false);
    boost::log::core::get()->remove_sink(m_sink);
}

std::string LogCapture::Text() const
{
    m_sink->flush();
    return m_stream->str();
}
