#pragma once

#include <cpl_error.h>

#include <string>

// While one lives, GDAL's complaints on this thread go nowhere: what went wrong reaches the log
// through the reason the loader gives, never standard error. Every call into GDAL is made under one.
class QuietGdal {
public:
    QuietGdal() {
        CPLPushErrorHandler(CPLQuietErrorHandler);
        CPLErrorReset();
    }
    ~QuietGdal() { CPLPopErrorHandler(); }
    QuietGdal(const QuietGdal&) = delete;
    QuietGdal& operator=(const QuietGdal&) = delete;

    // why, with GDAL's last complaint in brackets when it made one.
    static std::string With(const std::string& why) {
        const char* message = CPLGetLastErrorMsg();
        return message != nullptr && message[0] != '\0' ? why + " (" + message + ")" : why;
    }
};
