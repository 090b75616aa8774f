#include "elevation/RasterFileCheck.h"

#include "elevation/QuietGdal.h"

#include <cpl_minixml.h>
#include <cpl_string.h>
#include <gdal.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <set>

#include <sys/stat.h>

namespace {
// Elevation rasters kept in local files. Left out on purpose: network services, in-memory and
// connection-string drivers, and containers that can link to files by other means (HDF5).
constexpr const char* Allowed[] = {
    "GTiff", "VRT",     "SRTMHGT", "AAIGrid", "GRASSASCIIGrid", "XYZ",  "netCDF", "PNG", "EHdr",
    "ENVI",  "USGSDEM", "DTED",    "HFA",     "GSAG",           "GSBG", "GS7BG",  "BT",  "Terragen",
    "HF2",   "SAGA",    nullptr};
// Subdataset syntax the loader follows: PREFIX:"file":variable or PREFIX:file:variable.
constexpr const char* SubdatasetPrefix = "NETCDF:";
// VRTs referring to VRTs: deeper than this is taken for a loop.
constexpr int DeepestReference = 8;

bool AllowedDriver(GDALDriverH driver) {
    if (driver == nullptr)
        return false;
    const char* name = GDALGetDriverShortName(driver);
    for (const char* const* allowed = Allowed; *allowed != nullptr; ++allowed)
        if (std::strcmp(*allowed, name) == 0)
            return true;
    return false;
}

// Empty when path is a local regular file, else what it is instead.
std::string NotLocalRegular(const std::string& path) {
    if (path.rfind("/vsi", 0) == 0)
        return "not a local file";
    struct stat status = {};
    if (stat(path.c_str(), &status) != 0)
        return std::strerror(errno);
    if (S_ISDIR(status.st_mode))
        return "a folder, not a raster file";
    if (!S_ISREG(status.st_mode))
        return "not a regular file";
    return "";
}

struct XmlTree {
    CPLXMLNode* Root;
    ~XmlTree() { CPLDestroyXMLNode(Root); }
};

// The names one check has found acceptable: a VRT may tile one file thousands of times.
using Accepted = std::set<std::string>;

bool AcceptableAt(const std::string& name, int depth, Accepted& accepted, std::string& why);

// Every file a VRT's elements name as a source (SourceFilename, and SourceDataset in a warped VRT).
bool SourcesAcceptable(const CPLXMLNode* node, const std::filesystem::path& folder, int depth,
                       Accepted& accepted, std::string& why) {
    for (; node != nullptr; node = node->psNext) {
        if (node->eType != CXT_Element)
            continue;
        if (std::strcmp(node->pszValue, "SourceFilename") == 0 ||
            std::strcmp(node->pszValue, "SourceDataset") == 0) {
            std::string source = CPLGetXMLValue(node, nullptr, "");
            if (std::strcmp(CPLGetXMLValue(node, "relativeToVRT", "0"), "1") == 0)
                source = (folder / source).string();
            if (!AcceptableAt(source, depth + 1, accepted, why)) {
                why = "it refers to " + source + ": " + why;
                return false;
            }
        }
        if (!SourcesAcceptable(node->psChild, folder, depth, accepted, why))
            return false;
    }
    return true;
}

bool AcceptableAt(const std::string& name, int depth, Accepted& accepted, std::string& why) {
    if (accepted.contains(name))
        return true;
    if (depth > DeepestReference) {
        why = "files refer to each other too deep";
        return false;
    }
    const std::string file = RasterFileCheck::FileOf(name);
    why = NotLocalRegular(file);
    if (!why.empty())
        return false;
    const QuietGdal quiet;
    // Only the allowed drivers look at the file first. A VRT opens its sources with any driver,
    // so a source must also be what GDAL would take it for among all of them.
    GDALDriverH driver = GDALIdentifyDriverEx(name.c_str(), GDAL_OF_RASTER, Allowed, nullptr);
    if (driver == nullptr) {
        why = "not a raster that can be read";
        return false;
    }
    if (depth > 0) {
        GDALDriverH anyDriver = GDALIdentifyDriverEx(name.c_str(), GDAL_OF_RASTER, nullptr, nullptr);
        if (!AllowedDriver(anyDriver)) {
            why = std::string("a file GDAL would read as ") +
                  (anyDriver != nullptr ? GDALGetDriverShortName(anyDriver) : "nothing") +
                  ", not among the formats read";
            return false;
        }
    }
    if (std::strcmp(GDALGetDriverShortName(driver), "VRT") != 0) {
        accepted.insert(name);
        return true;
    }
    const XmlTree tree{CPLParseXMLFile(file.c_str())};
    if (tree.Root == nullptr) {
        why = QuietGdal::With("a VRT that cannot be parsed");
        return false;
    }
    if (!SourcesAcceptable(tree.Root, std::filesystem::path(file).parent_path(), depth, accepted, why))
        return false;
    accepted.insert(name);
    return true;
}
} // namespace

const char* const* RasterFileCheck::AllowedDrivers() {
    return Allowed;
}

std::string RasterFileCheck::FileOf(const std::string& name) {
    if (name.size() <= std::strlen(SubdatasetPrefix) ||
        !EQUALN(name.c_str(), SubdatasetPrefix, std::strlen(SubdatasetPrefix)))
        return name;
    const std::string rest = name.substr(std::strlen(SubdatasetPrefix));
    if (rest.front() == '"') {
        const std::size_t close = rest.find('"', 1);
        return close == std::string::npos ? name : rest.substr(1, close - 1);
    }
    const std::size_t colon = rest.find(':');
    return colon == std::string::npos ? rest : rest.substr(0, colon);
}

bool RasterFileCheck::Acceptable(const std::string& name, std::string& why) {
    Accepted accepted;
    return AcceptableAt(name, 0, accepted, why);
}

bool RasterFileCheck::FilesLocal(GDALDatasetH dataset, std::string& why) {
    const QuietGdal quiet;
    const std::unique_ptr<char*, decltype(&CSLDestroy)> files(GDALGetFileList(dataset), &CSLDestroy);
    for (char** file = files.get(); file != nullptr && *file != nullptr; ++file) {
        const std::string problem = NotLocalRegular(*file);
        if (!problem.empty()) {
            why = std::string("it reads ") + *file + ", " + problem;
            return false;
        }
    }
    return true;
}
