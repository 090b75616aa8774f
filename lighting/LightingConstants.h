#pragma once
// The lighting's fixed values, shared by its sweep and its shading.

namespace lighting {
inline constexpr int SlotsPerCell = 3;
// Horizon slots are numbered around this centre slot, or around a higher one for big grids.
inline constexpr int LowestCentreSlot = 500;
// A horizon buffer keeps the height and the drop of slot j side by side, at 2j and 2j + 1.
inline constexpr int PerSlot = 2;
inline constexpr float Ambient = 0.2f;
inline constexpr float DiffuseWeight = 0.8f;

// Clamped to 0 .. 1; a value that is not a number (a degenerate horizon can give 0/0) becomes 0.
// Plain selects, so that the loop around it still runs several vertices at a time.
inline float ClampLevel(float level) {
    const float capped = level > 1.0f ? 1.0f : level;
    return capped >= 0.0f ? capped : 0.0f;
}
} // namespace lighting
