#pragma once

#include <QtCore>

// A UTF-8 locale while it lives, whatever the environment says, as on most desktops: a lone 0xE9 is invalid in it.
struct Utf8Locale {
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

    const std::string previous = ::setlocale(LC_ALL, nullptr);
};
