#pragma once

#include "Archive.h"
#include "LocaleData.h"
#include "Metadata.h"

#include <boost/optional.hpp>
#include <boost/property_tree/ptree_fwd.hpp>

#include <string>
#include <vector>

// Parsers of the service's XML answers, each given the property tree of a whole document as boost's XML reader
// builds it (elements keyed by their qualified name, attributes under "<xmlattr>"). A missing required key throws
// boost::property_tree::ptree_bad_path, a required number that does not convert ptree_bad_data, malformed UTF-8
// in a locale text std::range_error "bad conversion". Nothing is caught here and nothing is logged.
namespace Brel {

// "tns:metadata" holding a "tns:package" (preferred) or a "tns:group"; neither gives an empty group.
Metadata ParseMetadata(const boost::property_tree::ptree& document);

// "downloadinfo.mainArchive.archive" with "url", "checksum" and the checksum's "type"; engaged whenever it returns.
boost::optional<Archive> ParseDownloadInfo(const boost::property_tree::ptree& document);

// "localedata.name", optional "localedata.description" and "localedata.releasedate".
LocaleData ParseLocaleData(const boost::property_tree::ptree& document);

// The texts of the "packageId" children of "list", in document order; other children are ignored.
std::vector<std::string> ParsePackageIds(const boost::property_tree::ptree& document);

} // namespace Brel
