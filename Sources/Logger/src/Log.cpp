#include "Log.h"

#include "EnumName.h"
#include "FileLogger.h"

#include <boost/log/core/core.hpp>

#include <array>
#include <cstring>
#include <regex>

namespace Log {

namespace {

constexpr std::array<const char*, 4> kSeverityNames {"Debug", "Info", "Warning", "Error"};

} // namespace

BOOST_LOG_GLOBAL_LOGGER_INIT(g_lg, Logger)
{
    boost::log::core::get()->set_logging_enabled(false);
    return Logger(boost::log::keywords::channel = std::string("Unknown"));
}

std::ostream& operator<<(std::ostream& out, Severity severity)
{
    return WriteEnumName(out, severity, kSeverityNames);
}

std::istream& operator>>(std::istream& in, Severity& severity)
{
    std::string word;
    if (!(in >> word))
        return in;
    for (std::size_t i = 0; i < kSeverityNames.size(); ++i) {
        if (word == kSeverityNames[i]) {
            severity = static_cast<Severity>(i);
            break;
        }
    }
    return in;
}

std::string FormatFunctionName(const std::string& name)
{
    static const std::regex lambda(R"(<lambda_(\w)+>::operator\s\(\))", std::regex::ECMAScript);
    return std::regex_replace(name, lambda, "<lambda>");
}

const char* FileName(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

std::unique_ptr<ILogger> CreateFileLogger(const std::string& logsDir)
{
    // Touch the global logger first: its creation switches the core off, and
    // must not do so after the core was switched on here.
    g_lg::get();
    boost::log::core::get()->set_logging_enabled(true);
    return std::make_unique<FileLogger>(logsDir);
}

} // namespace Log
