#include "Log.h"

namespace Log {

// Placeholder: returns the signature unchanged until the reduction lands.
std::string ReduceSignature(const std::string& signature)
{
    return signature;
}

} // namespace Log
