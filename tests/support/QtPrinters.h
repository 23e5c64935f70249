#pragma once

#include <QString>

#include <ostream>

// Lets GoogleTest print QString values (test parameters, compared values) as
// text rather than as raw bytes.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
