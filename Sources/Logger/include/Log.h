#pragma once

#include <QString>

#include <boost/date_time/posix_time/posix_time_types.hpp>
#include <boost/log/attributes/value_extraction.hpp>
#include <boost/log/sources/global_logger_storage.hpp>
#include <boost/log/sources/record_ostream.hpp>
#include <boost/log/sources/severity_channel_logger.hpp>
#include <boost/log/utility/manipulators/add_value.hpp>

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>

namespace Log {

enum Severity : std::int32_t { Debug = 0, Info = 1, Warning = 2, Error = 3 };

std::ostream& operator<<(std::ostream& out, Severity severity);
std::istream& operator>>(std::istream& in, Severity& severity);

using Logger = boost::log::sources::severity_channel_logger_mt<Severity, std::string>;

// Created on first use; its creation switches the logging core off, so that
// nothing is logged unless a file logger is created (see CreateFileLogger).
BOOST_LOG_GLOBAL_LOGGER(g_lg, Logger)

// Shortens lambda names in a qualified function name to "<lambda>".
std::string FormatFunctionName(const std::string& name);

// Turns GCC's function signature into a qualified name
// ("int Foo::Bar(int) const" -> "Foo::Bar", lambdas -> "<lambda>").
std::string ReduceSignature(const std::string& signature);

// The file name of a source path, without its folders.
const char* FileName(const char* path);

class ILogger {
public:
    virtual ~ILogger() = default;
    virtual void SetLevel(Severity level) = 0;
};

// Switches the logging core on and returns a logger writing rotating files
// into logsDir; the caller owns it.
std::unique_ptr<ILogger> CreateFileLogger(const std::string& logsDir);

} // namespace Log

// Streaming a QString into a record writes its text. The non-const overload
// keeps boost's generic operator for non-const values from being chosen.
inline boost::log::formatting_ostream& operator<<(boost::log::formatting_ostream& out, const QString& text)
{
    return out << text.toStdString();
}

inline boost::log::formatting_ostream& operator<<(boost::log::formatting_ostream& out, QString& text)
{
    return out << text.toStdString();
}

// A log statement: attributes and message are built only when the record is
// accepted (core on, filter passed).
#define LOG_CHANNEL_SEV(channel, severity)                                                                             \
    BOOST_LOG_CHANNEL_SEV(::Log::g_lg::get(), std::string(channel), (severity))                                        \
        << ::boost::log::add_value("Function", ::Log::FormatFunctionName(::Log::ReduceSignature(__PRETTY_FUNCTION__))) \
        << ::boost::log::add_value("Line", static_cast<int>(__LINE__))                                                 \
        << ::boost::log::add_value("File", std::string(::Log::FileName(__FILE__)))                                     \
        << ::boost::log::add_value("TimeStamp", ::boost::posix_time::microsec_clock::local_time())

// The application's records (channel "ZUK"): LOG(Info) << "text";
#define LOG(severity) LOG_CHANNEL_SEV("ZUK", ::Log::severity)
// The service client's records (channel "BrolClient").
#define LOG_BREL(severity) LOG_CHANNEL_SEV("BrolClient", ::Log::severity)
