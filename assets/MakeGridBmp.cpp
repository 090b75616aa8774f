// Writes the terrain texture: make_grid_bmp OUTPUT.bmp

#include "app/image/BmpFile.h"
#include "assets/GridPicture.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.bmp\n", argv[0]);
        return 2;
    }
    if (!bmp::Write(argv[1], MakeGridPicture(), 24, false)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
