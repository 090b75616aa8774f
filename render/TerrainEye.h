#pragma once

// Where the terrain is seen from: the eye's position and the way it looks (a unit vector), in
// world coordinates, upright (no roll); and the picture's width over its height, 0 when unknown.
struct TerrainEye {
    float X = 0.0f, Y = 0.0f, Z = 0.0f;
    float ForwardX = 0.0f, ForwardY = -1.0f, ForwardZ = 0.0f;
    float Aspect = 0.0f;
};
