#pragma once

#include <cstddef>
#include <memory>
#include <string>

struct evp_md_ctx_st;

// Incremental MD5 of a byte stream, computed by OpenSSL (measured faster
// here than QCryptographicHash).
class Md5 {
public:
    Md5();
    ~Md5();
    Md5(const Md5&) = delete;
    Md5& operator=(const Md5&) = delete;

    void Update(const char* data, std::size_t size);
    // The digest of everything added so far, as 32 lower-case hexadecimal
    // characters. Ends the digest: later updates start a new one.
    std::string Finish();

private:
    struct ContextDeleter {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, ContextDeleter> context_;
};
