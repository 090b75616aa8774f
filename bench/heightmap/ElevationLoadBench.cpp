// Terrain from elevation rasters. The time to load, crop and reduce the global relief grid to
// 2048 x 1024 and then build the terrain (tiles, normals) and light it once, as Init does. And the
// memory a load needs: each load runs in a child process that reports how far its peak resident
// size (reset before the load) rose above what was resident before it, for rasters of N cells (virtual
// rasters that tile or stretch a small real one) made into grids of M vertices. Needs scripts/rasters
// --earth.

#include "CopyingHost.h"
#include "elevation/ElevationLoader.h"
#include "heightmap/HeightmapFile.h"
#include "lighting/TerrainLighting.h"
#include "render/Terrain.h"

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const std::string Rasters = VELTRA_SOURCE_DIR "/build/rasters/";

void EarthToLitTerrain(benchmark::State& state) {
    HeightmapFile file;
    file.Path = Rasters + "etopo5.cdf";
    file.Width = 2048, file.Height = 1024;
    if (!std::filesystem::exists(file.Path)) {
        state.SkipWithError("scripts/rasters --earth unpacks etopo5.cdf");
        return;
    }
    for (auto _ : state) {
        ElevationTerrain loaded = ElevationLoader::Load(file);
        CopyingRenderer device;
        Terrain ground;
        ground.ExtentX = loaded.ExtentX, ground.ExtentZ = loaded.ExtentZ;
        ground.Build(&device, loaded.Grid.get());
        TerrainLighting::Module().Reset();
        ground.UpdateLighting(nullptr, 100.0f, -35.0f, 0.0f, 3);
        benchmark::DoNotOptimize(ground.TileCount());
    }
}

// A virtual raster of side x side cells: the small projected raster tiled (every cell real and
// read), or stretched over it (reading costs what the small one costs).
std::string VirtualRaster(int side, bool tiled) {
    const std::string path =
        std::filesystem::temp_directory_path() / ("veltra-bench-" + std::to_string(getpid()) + ".vrt");
    std::ofstream out(path);
    out << "<VRTDataset rasterXSize=\"" << side << "\" rasterYSize=\"" << side << "\">\n"
        << "<VRTRasterBand dataType=\"Float32\" band=\"1\">\n";
    const int tile = 111, count = tiled ? (side + tile - 1) / tile : 1, step = tiled ? tile : side;
    for (int y = 0; y < count; ++y)
        for (int x = 0; x < count; ++x)
            out << "<SimpleSource><SourceFilename relativeToVRT=\"0\">" << Rasters << "olinda_dem_utm25s.tif"
                << "</SourceFilename><SourceBand>1</SourceBand><SrcRect xOff=\"0\" yOff=\"0\" xSize=\"111\" "
                << "ySize=\"111\"/><DstRect xOff=\"" << x * step << "\" yOff=\"" << y * step << "\" xSize=\""
                << step << "\" ySize=\"" << step << "\"/></SimpleSource>\n";
    out << "</VRTRasterBand></VRTDataset>\n";
    return path;
}

// A line of /proc/self/status, in kB: VmRSS now, VmHWM the peak since the last reset.
long StatusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return -1;
}

// Starts the peak over from what is resident now.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Arguments: raster side, grid side, 1 to tile (0 to stretch).
void PeakMemoryOfALoad(benchmark::State& state) {
    const int rasterSide = static_cast<int>(state.range(0)), gridSide = static_cast<int>(state.range(1));
    if (!std::filesystem::exists(Rasters + "olinda_dem_utm25s.tif")) {
        state.SkipWithError("scripts/rasters unpacks olinda_dem_utm25s.tif");
        return;
    }
    long rise = 0;
    for (auto _ : state) {
        int report[2] = {};
        if (pipe(report) != 0)
            return state.SkipWithError("no pipe");
        const pid_t child = fork();
        if (child == 0) {
            HeightmapFile file;
            file.Path = VirtualRaster(rasterSide, state.range(2) != 0);
            file.Width = file.Height = gridSide;
            HeightmapFile small;
            small.Path = Rasters + "olinda_dem_utm25s.tif";
            ElevationLoader::Load(small); // GDAL's set-up before the baseline
            ResetPeak();
            const long before = StatusKilobytes("VmRSS");
            const ElevationTerrain loaded = ElevationLoader::Load(file);
            const long grown = loaded.Grid != nullptr ? StatusKilobytes("VmHWM") - before : -1;
            std::filesystem::remove(file.Path);
            (void)!write(report[1], &grown, sizeof grown);
            _exit(0);
        }
        (void)!read(report[0], &rise, sizeof rise);
        close(report[0]), close(report[1]);
        waitpid(child, nullptr, 0);
    }
    state.counters["raster_Mcells"] = static_cast<double>(rasterSide) * rasterSide / 1e6;
    state.counters["grid_Mvertices"] = static_cast<double>(gridSide) * gridSide / 1e6;
    state.counters["peak_rise_MB"] = static_cast<double>(rise) / 1024.0;
}

BENCHMARK(EarthToLitTerrain)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PeakMemoryOfALoad)
    ->Args({3330, 1024, 1})
    ->Args({11100, 1024, 1})
    ->Args({100000, 1024, 0})
    ->Args({100000, 512, 0})
    ->Args({100000, 2048, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
