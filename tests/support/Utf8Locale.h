#pragma once

#include <QTextCodec>

#include <clocale>
#include <string>

// While it lives, the process runs in a UTF-8 locale whatever the environment says, as most desktops do, so
// that a byte such as 0xE9 alone is not valid in it.
class Utf8Locale {
public:
    Utf8Locale()
        : m_previous(::setlocale(LC_ALL, nullptr))
    {
        ::setlocale(LC_ALL, "C.UTF-8");
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    }
    ~Utf8Locale()
    {
        ::setlocale(LC_ALL, m_previous.c_str());
        QTextCodec::setCodecForLocale(nullptr);
    }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;

private:
    std::string m_previous;
};
