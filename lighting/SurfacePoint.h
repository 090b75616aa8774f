#pragma once

// What the terrain keeps of each vertex beside its height: the normal. Positions along x and z and
// the texture coordinates follow from the row and column alone.
struct SurfacePoint {
    float NX = 0.0f, NY = 0.0f, NZ = 0.0f;
};
static_assert(sizeof(SurfacePoint) == 12);
