#pragma once

#include <QString>

// The source tree (fixtures, tools/) and the build tree of this test run.
struct TestEnv {
    static QString SourceDir() { return QStringLiteral(TESSALY_SOURCE_DIR); }
    static QString BinaryDir() { return QStringLiteral(TESSALY_BINARY_DIR); }
};
