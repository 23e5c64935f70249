#pragma once

#include <QString>

namespace TestEnv {

// The source tree (fixtures, tools/) and the build tree of this test run.
inline QString SourceDir()
{
    return QStringLiteral(TESSALY_SOURCE_DIR);
}
inline QString BinaryDir()
{
    return QStringLiteral(TESSALY_BINARY_DIR);
}

} // namespace TestEnv
