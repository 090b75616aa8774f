#pragma once
// The view that the engine's SetCamera describes, as OpenGL matrices.
//
// World y is up. (tx, ty, tz) is the translation applied to the world, so the eye stands at
// (-tx, -ty, -tz). Then yaw turns about the vertical axis, pitch about the horizontal one and
// roll about the line of sight, in that order. At yaw 0 the eye looks along +z with +x on the
// right of the picture; a yaw h looks along (-sin h, 0, cos h); pitch -1.57 looks straight down
// with +z at the top of the picture.
//
// Projection: perspective, 60 degrees from the bottom to the top of the picture, near plane 1,
// far plane 5000 world units (the terrain is 1000 across and the top view stands 700 above it).

#include <glm/glm.hpp>

class ViewCamera {
public:
    static constexpr float FieldOfViewY = 1.0471975512f; // 60 degrees
    static constexpr float NearPlane = 1.0f;
    static constexpr float FarPlane = 5000.0f;

    void Set(float tx, float ty, float tz, float yaw, float pitch, float roll);

    // World to view space: x right, y up, z along the line of sight.
    glm::mat4 View() const;
    glm::mat4 Projection(float aspect) const;
    glm::mat4 ViewProjection(float aspect) const { return Projection(aspect) * View(); }

private:
    glm::vec3 Translation{0.0f};
    float Yaw = 0.0f;
    float Pitch = 0.0f;
    float Roll = 0.0f;
};
