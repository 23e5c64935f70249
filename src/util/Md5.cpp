#include "Md5.h"

#include <QByteArray>

#include <openssl/evp.h>

#include <stdexcept>

namespace {

void Check(int status, const char* what)
{
    if (status != 1)
        throw std::runtime_error(std::string("MD5 ") + what + " failed");
}

} // namespace

void Md5::ContextDeleter::operator()(evp_md_ctx_st* context) const
{
    EVP_MD_CTX_free(context);
}

Md5::Md5()
    : context_(EVP_MD_CTX_new())
{
    if (!context_)
        throw std::runtime_error("MD5 context allocation failed");
    Check(EVP_DigestInit_ex(context_.get(), EVP_md5(), nullptr), "initialisation");
}

Md5::~Md5() = default;

void Md5::Update(const char* data, std::size_t size)
{
    Check(EVP_DigestUpdate(context_.get(), data, size), "update");
}

std::string Md5::Finish()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    Check(EVP_DigestFinal_ex(context_.get(), digest, &length), "finalisation");
    Check(EVP_DigestInit_ex(context_.get(), EVP_md5(), nullptr), "initialisation");
    return QByteArray(reinterpret_cast<const char*>(digest), static_cast<int>(length)).toHex().toStdString();
}
