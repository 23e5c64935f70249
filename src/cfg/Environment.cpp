#include "Environment.h"

namespace {

// Keys are assembled at run time rather than stored whole.
std::string AssembleKey(const char* a, const char* b, const char* c, const char* d)
{
    return std::string(a) + b + c + d;
}

} // namespace

const Environment& ProductionEnvironment()
{
    static const Environment env {"DravoVyd-Prod", "https://content.dravo-vyd.invalid/brel/v1",
        AssembleKey("7f3a9c1e", "5b2d4a60", "8e1f7c3b", "9d0a2e64")};
    return env;
}

const Environment& PreproductionEnvironment()
{
    static const Environment env {"DravoVyd-Preprod", "https://content-pre.dravo-vyd.invalid/brel/v1",
        AssembleKey("2c8e0b7d", "4f1a6e93", "0b5d2c7a", "e6f3918c")};
    return env;
}
