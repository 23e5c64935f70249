#pragma once

#include <boost/property_tree/ptree_fwd.hpp>

#include <cstddef>
#include <string>

// Reading JSON and XML documents that come from outside (service answers,
// stick files, the program's own files) into property trees. The readers
// recurse once per nesting level, so size and nesting are bounded before
// anything is parsed; a document over a bound fails like an unparsable one.
// Every failure throws std::runtime_error.
namespace Documents {

// Far above any genuine document: ours nest a handful of levels and weigh kilobytes.
constexpr std::size_t kMaxSize = 16 * 1024 * 1024;
constexpr int kMaxDepth = 256;

boost::property_tree::ptree ReadJson(const std::string& text);
boost::property_tree::ptree ReadXml(const std::string& text);

// The file's bytes; only a regular file is read (never blocks on a FIFO or a
// device), and only up to kMaxSize. The path is taken byte for byte.
std::string ReadRegularFile(const std::string& path);

boost::property_tree::ptree ReadJsonFile(const std::string& path);
boost::property_tree::ptree ReadXmlFile(const std::string& path);

} // namespace Documents
