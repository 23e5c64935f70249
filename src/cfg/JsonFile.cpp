#include "JsonFile.h"

#include <QFile>
#include <QSaveFile>

#include <boost/property_tree/json_parser.hpp>
#include <boost/property_tree/ptree.hpp>

#include <sstream>
#include <stdexcept>

namespace JsonFile {

boost::property_tree::ptree Read(const QString& path)
{
    boost::property_tree::ptree tree;
    boost::property_tree::read_json(QFile::encodeName(path).toStdString(), tree);
    return tree;
}

void Write(const QString& path, const boost::property_tree::ptree& tree)
{
    std::ostringstream text;
    boost::property_tree::write_json(text, tree, true);
    const std::string bytes = text.str();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(file.errorString().toStdString());
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())
        || !file.commit())
        throw std::runtime_error(file.errorString().toStdString());
}

} // namespace JsonFile
