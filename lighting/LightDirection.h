#pragma once

// A directional light as the lighting uses it.
struct LightDirection {
    float NX = 0.0f, NY = 0.0f, NZ = 0.0f; // unit direction
    float HX = 0.0f, HZ = 0.0f;            // unit horizontal direction
    bool CastsShadows = false;
    bool RowLines = false; // the light runs mainly along x: sweep row by row
    bool XNegative = false, ZNegative = false;

    // (x, y, z): the direction in which the light travels, any length. Only a light that travels
    // downwards and has a horizontal part casts shadows; one that is zero or not finite gives none.
    static LightDirection Of(float x, float y, float z);
};
