#pragma once

#include <QTranslator>

// Marks every text it translates, so a test sees which texts were built anew.
class MarkingTranslator : public QTranslator {
public:
    QString translate(const char*, const char* source, const char*, int) const override
    {
        return QStringLiteral("[de] ") + QString::fromUtf8(source);
    }
    bool isEmpty() const override { return false; }
};
