#pragma once

#include "render/MeshObject.h"

#include <cstdint>

class Renderer;

// A fixed 1 x 2 x 1 box with texture coordinates: 8 corners, 12 triangles. Made at start-up and
// never drawn; the four construction values are kept but not used.
class BoxMesh : public MeshObject {
public:
    float Scale = 0.0f;
    std::int32_t Options[3] = {0, 0, 0};

    BoxMesh(Renderer* device, float scale, std::int32_t option0, std::int32_t option1, std::int32_t option2);
};
