#include "FileLogger.h"

#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <boost/log/attributes/value_extraction.hpp>
#include <boost/log/core/core.hpp>
#include <boost/log/expressions.hpp>
#include <boost/log/sinks/text_file_backend.hpp>
#include <boost/log/utility/exception_handler.hpp>
#include <boost/optional.hpp>

#include <cstdio>
#include <iomanip>
#include <ios>

namespace Log {

namespace keywords = boost::log::keywords;
namespace sinks = boost::log::sinks;

namespace {

// The fields of one line, each right-aligned to its width and never cut.
struct Line {
    boost::optional<boost::posix_time::ptime> timeStamp;
    std::string severity;
    std::string channel;
    std::string file;
    boost::optional<int> line;
    std::string function;
    std::string message;
};

void WriteTimeStamp(std::ostream& out, const boost::posix_time::ptime& time)
{
    const auto date = time.date();
    const auto clock = time.time_of_day();
    const auto fill = out.fill('0');
    out << std::setw(4) << date.year() << '-' << std::setw(2) << date.month().as_number() << '-' << std::setw(2)
        << date.day() << ' ' << std::setw(2) << clock.hours() << ':' << std::setw(2) << clock.minutes() << ':'
        << std::setw(2) << clock.seconds() << '.' << std::setw(6) << clock.fractional_seconds();
    out.fill(fill);
}

// Control characters (C0, DEL and C1, the latter as UTF-8) are written as
// escapes, so that text from the service or a stick can neither end the line
// nor forge another record or drive a terminal.
void WriteEscaped(std::ostream& out, const std::string& text)
{
    char escape[8];
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0u;
        if (byte == '\n') {
            out << "\\n";
        } else if (byte == '\r') {
            out << "\\r";
        } else if (byte == '\t') {
            out << "\\t";
        } else if (byte < 0x20 || byte == 0x7f) {
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            out << escape;
        } else if (byte == 0xc2 && next >= 0x80 && next <= 0x9f) {
            std::snprintf(escape, sizeof escape, "\\u%04x", next);
            out << escape;
            ++i;
        } else {
            out << text[i];
        }
    }
}

void WriteLine(std::ostream& out, const Line& line)
{
    if (line.timeStamp)
        WriteTimeStamp(out, *line.timeStamp);
    out << " | " << std::setw(7) << line.severity << " | " << std::setw(15) << line.channel << " | " << std::setw(25)
        << line.file << ":";
    if (line.line)
        out << std::setw(5) << *line.line;
    else
        out << std::setw(5) << "";
    out << " | " << std::setw(40) << line.function << " | ";
    WriteEscaped(out, line.message);
}

template <typename T> std::string Text(const boost::log::record_view& record, const char* name)
{
    std::ostringstream text;
    if (const auto value = boost::log::extract<T>(name, record))
        text << value.get();
    return text.str();
}

// Runs on the sink's thread. Records dropped since the last line are told
// first, in a line of their own.
void Format(const boost::log::record_view& record, boost::log::formatting_ostream& out)
{
    Line line;
    if (const auto time = boost::log::extract<boost::posix_time::ptime>("TimeStamp", record))
        line.timeStamp = time.get();
    if (const std::uintmax_t dropped = DropCounter::Take()) {
        const Line note {line.timeStamp, "Warning", "ZUK", "FileLogger.cpp", __LINE__, "Log::FileLogger",
            "Dropped " + std::to_string(dropped) + " records: the log queue was full"};
        WriteLine(out.stream(), note);
        out << '\n';
    }
    line.severity = Text<Severity>(record, "Severity");
    line.channel = Text<std::string>(record, "Channel");
    line.file = Text<std::string>(record, "File");
    if (const auto number = boost::log::extract<int>("Line", record))
        line.line = number.get();
    line.function = Text<std::string>(record, "Function");
    if (const auto message = boost::log::extract<std::string>("Message", record))
        line.message = message.get();
    WriteLine(out.stream(), line);
}

} // namespace

FileLogger::FileLogger(const std::string& logsDir, std::uintmax_t rotationSize, Writing writing)
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

    sink_ = boost::make_shared<Sink>(backend, writing == Writing::OwnThread);
    sink_->set_formatter(&Format);
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
    namespace expr = boost::log::expressions;
    sink_->set_filter(expr::has_attr<Severity>("Severity") && expr::attr<Severity>("Severity") >= level);
}

} // namespace Log
