#pragma once

#include <QString>

#include <boost/property_tree/ptree_fwd.hpp>

// Reading and atomic writing of the program's JSON files. Failures throw
// std::runtime_error (boost's JSON errors are runtime errors too).
namespace JsonFile {

boost::property_tree::ptree Read(const QString& path);

// Pretty-printed and replaced all at once (see AtomicFile).
void Write(const QString& path, const boost::property_tree::ptree& tree);

} // namespace JsonFile
