#pragma once
// Where each vertex component lies in an element, from a flexible vertex format code: bits 0x002
// position (3 floats), 0x010 normal (3 floats), 0x020 point size (1 float, skipped), 0x040 diffuse
// colour (packed ARGB), 0x080 specular colour (packed, skipped), and in bits 8-11 the number of
// two-float texture coordinate sets (the first one is used). Other bits make the format unusable.

#include <cstdint>

struct VertexComponent {
    bool Present = false;
    int Offset = 0; // bytes from the start of the element
};

struct VertexFormat {
    bool Valid = false;
    int Stride = 0; // bytes per element that the code implies
    VertexComponent Position;
    VertexComponent Normal;
    VertexComponent Diffuse;
    VertexComponent TexCoord;

    static VertexFormat FromCode(std::uint32_t code);
};
