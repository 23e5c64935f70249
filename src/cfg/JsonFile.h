#pragma once

#include <QString>

#include <boost/property_tree/ptree_fwd.hpp>

// Reading and atomic writing of the program's JSON files. Failures throw
// std::runtime_error (boost's JSON errors are runtime errors too).
namespace JsonFile {

boost::property_tree::ptree Read(const QString& path);

// Pretty-printed and replaced all at once (see AtomicFile), readable and
// writable by the user alone: config.json may hold a service key.
void Write(const QString& path, const boost::property_tree::ptree& tree);

// Copies a file that could not be read to path + ".bad" (replacing an older
// copy), so that the user's hand-edited text outlives the file's rewrite.
// Returns the copy's path; empty when there is no file or it cannot be copied.
QString KeepUnreadable(const QString& path);

} // namespace JsonFile
