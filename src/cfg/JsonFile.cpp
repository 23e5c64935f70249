#include "JsonFile.h"

#include "AtomicFile.h"
#include "Documents.h"

#include <QFile>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <sstream>
#include <stdexcept>

namespace JsonFile {

boost::property_tree::ptree Read(const QString& path)
{
    return Documents::ReadJsonFile(QFile::encodeName(path).toStdString());
}

void Write(const QString& path, const boost::property_tree::ptree& tree)
{
    std::ostringstream text;
    boost::property_tree::write_json(text, tree, true);
    QString error;
    if (!AtomicFile::Write(path, QByteArray::fromStdString(text.str()), error))
        throw std::runtime_error(error.toStdString());
}

} // namespace JsonFile
