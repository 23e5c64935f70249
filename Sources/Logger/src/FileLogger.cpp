#include "FileLogger.h"

#include <boost/log/core/core.hpp>
#include <boost/log/expressions.hpp>
#include <boost/log/expressions/formatters/date_time.hpp>
#include <boost/log/sinks/text_file_backend.hpp>
#include <boost/log/support/date_time.hpp>
#include <boost/log/utility/exception_handler.hpp>
#include <boost/phoenix/bind/bind_function.hpp>

#include <iomanip>
#include <ios>

namespace Log {

namespace expr = boost::log::expressions;
namespace keywords = boost::log::keywords;
namespace sinks = boost::log::sinks;

namespace {

// Each padded field is right-aligned and never cut.
template <typename T> std::string Padded(const boost::log::value_ref<T>& value, int width)
{
    std::ostringstream out;
    if (value)
        out << std::setw(width) << value.get();
    else
        out << std::setw(width) << "";
    return out.str();
}

std::string PaddedSeverity(const boost::log::value_ref<Severity>& value)
{
    std::ostringstream name;
    if (value)
        name << value.get();
    std::ostringstream out;
    out << std::setw(7) << name.str();
    return out.str();
}

} // namespace

FileLogger::FileLogger(const std::string& logsDir, std::uintmax_t rotationSize)
{
    const boost::filesystem::path folder(logsDir);
    // Appending keeps two instances started within one second from
    // truncating each other's file; the names stay the same.
    auto backend
        = boost::make_shared<sinks::text_file_backend>(keywords::file_name = (folder / "%Y-%m-%d-%H%M%S.log").string(),
            keywords::open_mode = std::ios_base::out | std::ios_base::app, keywords::rotation_size = rotationSize,
            keywords::auto_flush = true);
    backend->set_file_collector(sinks::file::make_collector(keywords::target = folder.string()));
    backend->scan_for_files();

    sink_ = boost::make_shared<Sink>(backend);
    sink_->set_formatter(
        expr::stream << expr::format_date_time<boost::posix_time::ptime>("TimeStamp", "%Y-%m-%d %H:%M:%S.%f") << " | "
                     << boost::phoenix::bind(&PaddedSeverity, expr::attr<Severity>("Severity")) << " | "
                     << boost::phoenix::bind(&Padded<std::string>, expr::attr<std::string>("Channel"), 15) << " | "
                     << boost::phoenix::bind(&Padded<std::string>, expr::attr<std::string>("File"), 25) << ":"
                     << boost::phoenix::bind(&Padded<int>, expr::attr<int>("Line"), 5) << " | "
                     << boost::phoenix::bind(&Padded<std::string>, expr::attr<std::string>("Function"), 40) << " | "
                     << expr::smessage);
    // A log file that cannot be opened later (a full stick of a disk, no
    // handles left) must not end the program from the sink's thread.
    sink_->set_exception_handler(boost::log::make_exception_suppressor());
    boost::log::core::get()->add_sink(sink_);
}

// Detach first so that no record arrives after the flush, then stop the
// sink's thread and write what it had not written yet.
FileLogger::~FileLogger()
{
    boost::log::core::get()->remove_sink(sink_);
    sink_->stop();
    sink_->flush();
}

void FileLogger::SetLevel(Severity level)
{
    sink_->set_filter(expr::has_attr<Severity>("Severity") && expr::attr<Severity>("Severity") >= level);
}

} // namespace Log
