#pragma once

#include <string>

// The built-in content-update service environments.
struct Environment {
    const char* name;
    std::string baseUrl;
    std::string key;
};

const Environment& ProductionEnvironment();
const Environment& PreproductionEnvironment();
