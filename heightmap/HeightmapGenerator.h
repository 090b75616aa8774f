#pragma once

#include <cstdint>

class Heightmap;

// Raises randomly placed, randomly sized round hills on a new grid: two draws a hill (centre,
// radius), three on grids of more than 32,768 cells (two for the centre). The six fields are what
// scripts see as the properties of heightmap_generator. It has a virtual table but no virtual
// destructor; final, so that deleting one is always deleting exactly this class.
class HeightmapGenerator final {
public:
    HeightmapGenerator() = default;

    virtual Heightmap* Build();
    virtual Heightmap* Generate(std::int32_t width, std::int32_t height, std::int32_t nbHills,
                                float minRadius, float maxRadius);
    virtual Heightmap* Generate(std::int32_t width, std::int32_t height);
    virtual Heightmap* Generate();

    void AddHills(Heightmap* grid, std::int32_t nbHills, float minRadius, float maxRadius);
    void AddHill(Heightmap* grid, float centreX, float centreY, float heightScale, float radius);

    std::int32_t NbHills = 150;     // hills raised by Generate
    std::int32_t MinHillRadius = 4; // smallest radius, in grid cells
    std::int32_t MaxHillRadius = 8; // largest radius, in grid cells
    std::int32_t Width = 50;        // columns of the grid Generate makes
    std::int32_t Height = 50;       // rows of the grid Generate makes
    std::int32_t Seed = -1;         // random seed the engine generates with; negative: the clock
};

// The generator scripts see as heightmap_generator; lives as long as the module.
extern HeightmapGenerator GeneratorInstance;
