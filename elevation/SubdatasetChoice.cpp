#include "elevation/SubdatasetChoice.h"

#include "elevation/QuietGdal.h"

#include <gdal.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <vector>

namespace {
constexpr std::array ElevationNames = {"elevation", "elev",       "height", "heights", "altitude",
                                       "alt",       "topography", "topo",   "dem",     "z",
                                       "hgt",       "bathymetry", "depth",  "rose"};

// The variable a subdataset name ends with (NETCDF:"file.nc":variable), in lower case.
std::string VariableOf(const std::string& name) {
    std::string variable = name.substr(name.find_last_of(':') + 1);
    std::transform(variable.begin(), variable.end(), variable.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return variable;
}
} // namespace

std::string SubdatasetChoice::Of(GDALDatasetH dataset, std::string& why) {
    const QuietGdal quiet;
    std::vector<std::string> names;
    for (char** item = GDALGetMetadata(dataset, "SUBDATASETS"); item != nullptr && *item != nullptr; ++item) {
        const std::string_view entry = *item;
        const std::size_t equals = entry.find('=');
        if (equals != std::string_view::npos && entry.substr(0, equals).ends_with("_NAME"))
            names.emplace_back(entry.substr(equals + 1));
    }
    if (names.empty()) {
        why = "a file without raster data";
        return "";
    }
    for (const std::string& name : names)
        if (std::find(ElevationNames.begin(), ElevationNames.end(), VariableOf(name)) != ElevationNames.end())
            return name;
    why = "a file of several rasters, none named as elevations are; name one as the path:";
    for (const std::string& name : names)
        why += " " + name;
    return "";
}
