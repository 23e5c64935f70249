#include "StickPath.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdint>

namespace {

constexpr wchar_t EscapeBase = 0xDC00;

bool IsEscape(wchar_t c)
{
    return c >= EscapeBase + 0x80 && c <= EscapeBase + 0xFF;
}

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The length of a UTF-8 sequence by its first byte; 0 for a byte that
// cannot start one.
std::size_t SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead < 0xC2)
        return 0;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return lead < 0xF5 ? 4 : 0;
}

// The length of the well-formed UTF-8 sequence at the position (0 if there
// is none) and its code point.
std::size_t DecodeSequence(const std::string& text, std::size_t at, wchar_t& codePoint)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = SequenceLength(lead);
    if (length == 0 || at + length > text.size())
        return 0;
    std::uint32_t value = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if (!IsContinuation(byte))
            return 0;
        value = value << 6 | (byte & 0x3F);
    }
    static const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    codePoint = static_cast<wchar_t>(value);
    return length;
}

std::wstring DecodeEscaped(const std::string& text)
{
    std::wstring wide;
    for (std::size_t at = 0; at < text.size();) {
        wchar_t codePoint = 0;
        const std::size_t length = DecodeSequence(text, at, codePoint);
        wide += length ? codePoint : static_cast<wchar_t>(EscapeBase + static_cast<unsigned char>(text[at]));
        at += std::max<std::size_t>(length, 1);
    }
    return wide;
}

void AppendUtf8(std::string& text, std::uint32_t codePoint)
{
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
        return;
    }
    static const std::uint32_t leads[] = {0, 0xC0, 0xE0, 0xF0};
    const int continuations = codePoint < 0x800 ? 1 : codePoint < 0x10000 ? 2 : 3;
    text += static_cast<char>(leads[continuations] | (codePoint >> (6 * continuations)));
    for (int i = continuations - 1; i >= 0; --i)
        text += static_cast<char>(0x80 | ((codePoint >> (6 * i)) & 0x3F));
}

std::string EncodeEscaped(const std::wstring& wide)
{
    std::string text;
    for (const wchar_t c : wide) {
        if (IsEscape(c))
            text += static_cast<char>(c - EscapeBase);
        else
            AppendUtf8(text, static_cast<std::uint32_t>(c));
    }
    return text;
}

} // namespace

namespace StickPath {

std::wstring ToWide(const std::string& nativePath)
{
    const QByteArray native = QByteArray::fromStdString(nativePath);
    const QString decoded = QFile::decodeName(native);
    // The locale's own decoding whenever it gives every byte back.
    if (QFile::encodeName(decoded) == native)
        return decoded.toStdWString();
    return DecodeEscaped(nativePath);
}

boost::filesystem::path ToNative(const std::wstring& widePath)
{
    if (std::any_of(widePath.begin(), widePath.end(), IsEscape))
        return boost::filesystem::path(EncodeEscaped(widePath));
    return boost::filesystem::path(QFile::encodeName(QString::fromStdWString(widePath)).toStdString());
}

} // namespace StickPath
