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

// What becomes of an unreadable file of which no copy could be kept, unless
// its owner replaces it all the same.
extern const char* const kLeftAsItWas;

// Copies a file that could not be read to path + ".bad" (replacing an older
// copy), so that the user's hand-edited text outlives the file's rewrite.
// True when the file may be rewritten: it is not a file, or it is kept;
// `record` then says where, or else why not, followed by `withoutCopy`.
bool KeepUnreadable(const QString& path, QString& record, const QString& withoutCopy = kLeftAsItWas);

// Takes from the user's own file every permission beyond the owner's reading
// and writing: config.json may hold a service key. Never follows a symbolic
// link. Returns the failure; empty when done or not the user's file to change.
QString MakePrivate(const QString& path);

} // namespace JsonFile
