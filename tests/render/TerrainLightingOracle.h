#pragma once

// The lighting written plainly, step by step, as the reference the engine's version must match
// byte for byte. Nothing here is tuned: every vertex is copied out three times, every horizon slot
// is smoothed after every line, and the working storage is what the description gives. Only the
// storage size follows the grid, as the engine's does, so that grids larger than the description's
// fixed capacity can be compared too; for grids within it the slots are the ones described. One
// reference lights one grid.

#include "render/TerrainVertex.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

class TerrainLightingOracle {
public:
    std::vector<float> HorizonHeight[2], HorizonDrop[2];
    std::vector<float> ShadowLevel, LightLevel, DisplayLevel;
    std::vector<float> ShadowFactor; // each vertex's shadow term of the last call, before smoothing
    bool FirstCall = true;

    static constexpr std::uint32_t NotANumberMark = 0xBAD0BAD0u;

    void UpdateLighting(std::vector<TerrainVertex>& vertices, int W, int H, float ExtentX, float ExtentZ,
                        float lightX, float lightY, float lightZ, int smoothing) {
        // Storage: 1000 horizon slots around slot 500 and 5000 vertices, or what the grid needs.
        const int centre = std::max(500, 3 * (W + H) + 2);
        // 1. First call.
        if (FirstCall) {
            for (std::vector<float>* pair : {HorizonHeight, HorizonDrop})
                pair[0].assign(2 * centre, 0.0f), pair[1].assign(2 * centre, 0.0f);
            ShadowLevel.assign(std::max<std::size_t>(5000, static_cast<std::size_t>(W) * H), 0.0f);
            LightLevel = ShadowLevel;
            DisplayLevel.assign(ShadowLevel.size(), 1.0f);
            FirstCall = false;
        }
        const float centreF = static_cast<float>(centre);
        TerrainVertex vertex;
        auto GetVertex = [&](int n) { vertex = vertices[static_cast<std::size_t>(n)]; };
        auto SetVertex = [&](int n) { vertices[static_cast<std::size_t>(n)] = vertex; };

        // 2. Light directions.
        const float s3 = std::sqrt(lightX * lightX + lightY * lightY + lightZ * lightZ);
        const float nx = lightX / s3, ny = lightY / s3, nz = lightZ / s3;
        const float s2 = std::sqrt(lightX * lightX + lightZ * lightZ);
        const float hx = lightX / s2, hz = lightZ / s2;
        // 3. Horizon range.
        const int lo = centre - 3 * (W + H), hi = centre + 3 * (W + H);
        std::fill(HorizonHeight[0].begin() + lo, HorizonHeight[0].begin() + hi, 0.0f);
        std::fill(HorizonDrop[0].begin() + lo, HorizonDrop[0].begin() + hi, 0.0f);
        int cur = 0;
        // 4. Sweep order: from the side the light comes from.
        const int colFirst = lightZ < 0.0f ? W - 1 : 0, colStep = lightZ < 0.0f ? -1 : 1;
        const float z0 = lightZ < 0.0f ? +ExtentZ / 2.0f : -ExtentZ / 2.0f;
        const int rowFirst = lightX < 0.0f ? H - 1 : 0, rowStep = lightX < 0.0f ? -1 : 1;
        const float x0 = lightX < 0.0f ? +ExtentX / 2.0f : -ExtentX / 2.0f;
        const bool rowLines = lightZ * lightZ < lightX * lightX;
        const int lineCount = rowLines ? H : W, lineLength = rowLines ? W : H;
        // 5. Lines.
        for (int line = 0; line < lineCount; ++line) {
            for (int step = 0; step < lineLength; ++step) {
                const int r = rowLines ? rowFirst + line * rowStep : rowFirst + step * rowStep;
                const int c = rowLines ? colFirst + step * colStep : colFirst + line * colStep;
                const int n = r * W + c;
                ShadowLevel[n] = 1.0f; // a light straight down or from below casts no shadow
                if (s2 == 0.0f || lightY >= 0.0f)
                    continue;
                GetVertex(n);
                const float X = vertex.X, Y = vertex.Y, Z = vertex.Z;
                const float dx = X - x0, dz = Z - z0;
                const float q = (hz * dx - hx * dz) / (ExtentZ / W) * 3;
                const float p = q + centreF;
                const float t = hx * dx + hz * dz;
                const float h = Y - t * ny;
                const int k = static_cast<int>(p), k1 = k + 1;
                const float wk = 1.0f - (p - k), wk1 = 1.0f - (k1 - p);
                std::vector<float>& Hcur = HorizonHeight[cur];
                std::vector<float>& Dcur = HorizonDrop[cur];
                const float Hp = wk * Hcur[k] + wk1 * Hcur[k1], Dp = wk * Dcur[k] + wk1 * Dcur[k1];
                float factor = 1.0f;
                if (h < Hp) {
                    const float f = ((h - Dp) / (Hp - Dp)) * (h / Hp);
                    const float g = (f + 2.0f) / 3.0f;
                    factor = g * g * g * g * g * g;
                } else {
                    Hcur[k] += wk * (h - Hcur[k]);
                    Dcur[k] += wk * ((Hcur[k] - Y) - Dcur[k]);
                    Hcur[k1] += wk1 * (h - Hcur[k1]);
                    Dcur[k1] += wk1 * ((Hcur[k1] - Y) - Dcur[k1]);
                }
                ShadowLevel[n] = factor;
            }
            const int next = 1 - cur;
            for (int j = lo; j < hi; ++j)
                for (std::vector<float>* pair : {HorizonHeight, HorizonDrop}) {
                    const std::vector<float>& c = pair[cur];
                    pair[next][j] =
                        (2 * c[j - 1] + 2 * c[j + 1] + 1.0f * c[j - 2] + 1.0f * c[j + 2] + 4.0f * c[j]) /
                        10.0f;
                }
            cur = next;
        }
        ShadowFactor.assign(ShadowLevel.begin(), ShadowLevel.begin() + static_cast<std::ptrdiff_t>(W) * H);
        // 6. Diffuse pass.
        for (int i = 1; i <= W - 2; ++i)
            for (int j = 1; j <= H - 2; ++j) {
                const int n = j * W + i;
                LightLevel[n] = (ShadowLevel[n + W] + ShadowLevel[n - W] + ShadowLevel[n + 1] +
                                 ShadowLevel[n - 1] + 1.0f * ShadowLevel[n]) /
                                5.0f;
                GetVertex(n);
                const float d = vertex.NX * nx + vertex.NY * ny + vertex.NZ * nz;
                const float diffuse = d > 0.0f ? 0.2f : 0.2f + 0.8f * (-d);
                LightLevel[n] = std::clamp(diffuse * LightLevel[n], 0.0f, 1.0f);
            }
        // 7. Colour pass.
        for (int i = 1; i <= W - 2; ++i)
            for (int j = 1; j <= H - 2; ++j) {
                const int n = j * W + i;
                ShadowLevel[n] = (LightLevel[n + W] + LightLevel[n - W] + LightLevel[n + 1] +
                                  LightLevel[n - 1] + 1.0f * LightLevel[n]) /
                                 5.0f;
                GetVertex(n);
                DisplayLevel[n] = ((smoothing - 1) * DisplayLevel[n] + ShadowLevel[n]) / smoothing;
                // A level that is not a number has no grey level (the conversion is undefined):
                // the reference marks such vertices instead.
                vertex.Diffuse =
                    std::isnan(DisplayLevel[n])
                        ? NotANumberMark
                        : static_cast<std::uint32_t>(static_cast<int>(DisplayLevel[n] * 255.0f)) *
                              0x01010101u;
                SetVertex(n);
            }
    }
};
