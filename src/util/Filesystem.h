#pragma once

#include <QString>

#include <boost/filesystem/path.hpp>

#include <cstdint>

// Waits 500 ms, then tells whether the path exists. A failing status query
// (not a missing file) is logged as a warning; never throws.
bool PathExists(const boost::filesystem::path& path);

// Writes a file and the entry in its folder through to the device (a stick's
// writes are cached); failures are logged as warnings and give false.
bool SyncFile(const boost::filesystem::path& path);

// Writes a folder's entries through to the device, so that a removal in it
// is final; failures are logged as warnings and give false.
bool SyncFolder(const boost::filesystem::path& folder);

// Whether the volume holding the path has at least 1024 bytes free; errors
// are logged as warnings and give false.
bool HasFreeSpace(const boost::filesystem::path& path);

// "1.5 KB": the largest unit (B to TB, translated in the context "global")
// that the value reaches, with the given number of decimals.
QString FormatSize(std::uint64_t bytes, int decimals);
