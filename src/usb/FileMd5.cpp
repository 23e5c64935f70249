#include "FileMd5.h"

#include <QFile>

#include <openssl/evp.h>

#include <memory>

namespace {

// Large enough to keep system calls rare, small enough to stay in cache.
constexpr std::size_t ChunkSize = 256 * 1024;

using DigestContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

std::string ToHex(const unsigned char* digest, unsigned int length)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * length);
    for (unsigned int i = 0; i < length; ++i) {
        hex += digits[digest[i] >> 4];
        hex += digits[digest[i] & 0x0f];
    }
    return hex;
}

} // namespace

FileMd5::FileMd5()
    : m_buffer(ChunkSize)
{
}

std::string FileMd5::Hex(const boost::filesystem::path& file)
{
    // Unbuffered: every chunk goes straight from the kernel into our buffer.
    QFile input(QFile::decodeName(file.c_str()));
    if (!input.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};

    // OpenSSL's MD5 measured faster than QCryptographicHash's on this platform.
    DigestContext context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1)
        return {};
    for (;;) {
        const qint64 read = input.read(m_buffer.data(), static_cast<qint64>(m_buffer.size()));
        if (read < 0)
            return {};
        if (read == 0)
            break;
        EVP_DigestUpdate(context.get(), m_buffer.data(), static_cast<std::size_t>(read));
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1)
        return {};
    return ToHex(digest, length);
}
