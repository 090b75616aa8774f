#pragma once

#include <cstdint>

// What a Renderable binds before drawing. Only Texture is used; the colour and blending values
// are kept for objects that will want them.
struct Material {
    std::uint32_t Texture = 0; // device texture handle, 0 = none
    float Red = 1.0f;
    float Green = 1.0f;
    float Blue = 1.0f;
    bool Blended = false;
    float Opacity = 1.0f;
};
