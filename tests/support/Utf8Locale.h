#pragma once

#include <QTextCodec>

#include <clocale>
#include <string>

// While it lives, the process runs in a UTF-8 locale whatever the environment says, as most desktops do, so that a
// byte such as 0xE9 alone is not valid in it.
class Utf8Locale {
public:
    Utf8Locale()
    {
        ::setlocale(LC_ALL, "C.UTF-8");
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    }
    ~Utf8Locale()
    {
        ::setlocale(LC_ALL, previous.c_str());
        QTextCodec::setCodecForLocale(nullptr);
    }

private:
    const std::string previous = ::setlocale(LC_ALL, nullptr);
};
