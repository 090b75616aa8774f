// One hill generation per run, for instruction counts under callgrind:
//   hill_generation_count own|every 50|256
// bench/heightmap/count-instructions runs every case and prints the counts of CountedGeneration.

#include "EveryCellGeneration.h"
#include "heightmap/HeightmapGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" __attribute__((noinline, used)) float CountedGeneration(bool ownCells, std::int32_t side) {
    veltra::platform::RuntimeSrand(1u);
    if (ownCells) {
        HeightmapGenerator generator;
        generator.Width = generator.Height = side;
        std::unique_ptr<Heightmap> grid(generator.Generate());
        return grid->Data[side * side / 2];
    }
    return EveryCellGenerate(side, side, 150, 4.0f, 8.0f)->Data[side * side / 2];
}

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "own") != 0 && std::strcmp(argv[1], "every") != 0)) {
        std::fprintf(stderr, "usage: %s own|every SIDE\n", argv[0]);
        return 2;
    }
    const int side = std::atoi(argv[2]);
    if (side < 2 || side > 256) {
        std::fprintf(stderr, "SIDE must be 2..256\n");
        return 2;
    }
    std::printf("%g\n", static_cast<double>(CountedGeneration(std::strcmp(argv[1], "own") == 0, side)));
    return 0;
}
