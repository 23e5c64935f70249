#pragma once

#include <QString>

// GoogleTest prints QString values as text, not as raw bytes.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
