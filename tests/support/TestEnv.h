#pragma once

#include <QString>

struct TestEnv {
    static QString SourceDir() { return QStringLiteral(TESSALY_SOURCE_DIR); }
    static QString BinaryDir() { return QStringLiteral(TESSALY_BINARY_DIR); }
};
