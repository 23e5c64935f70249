#pragma once

#include <boost/filesystem/path.hpp>

#include <string>

// Stick roots travel as wide text in UsbInfo::path; the file system wants
// its own narrow encoding. Both conversions keep every byte of a local name.
namespace StickPath {

std::wstring ToWide(const std::string& nativePath);
boost::filesystem::path ToNative(const std::wstring& widePath);

} // namespace StickPath
