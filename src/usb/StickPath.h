#pragma once

#include <boost/filesystem/path.hpp>

#include <string>

// Stick roots travel as wide text in UsbInfo::path; the file system wants
// its own narrow encoding. Both conversions keep every byte of a local name,
// also one that is not valid in the current locale (a stick formatted
// elsewhere): such a name is decoded as UTF-8, and each byte that does not
// decode stands for itself as a code point between U+DC80 and U+DCFF, which
// no decoded text holds (lone surrogates), so the way back is unambiguous.
namespace StickPath {

std::wstring ToWide(const std::string& nativePath);
boost::filesystem::path ToNative(const std::wstring& widePath);

} // namespace StickPath
