#include "app/gl/ViewCamera.h"

#include <glm/ext/matrix_clip_space.hpp>
#include <glm/ext/matrix_transform.hpp>

void ViewCamera::Set(float tx, float ty, float tz, float yaw, float pitch, float roll) {
    Translation = glm::vec3(tx, ty, tz);
    Yaw = yaw;
    Pitch = pitch;
    Roll = roll;
}

glm::mat4 ViewCamera::View() const {
    const glm::mat4 identity(1.0f);
    const glm::mat4 yaw = glm::rotate(identity, Yaw, glm::vec3(0.0f, 1.0f, 0.0f));
    const glm::mat4 pitch = glm::rotate(identity, Pitch, glm::vec3(1.0f, 0.0f, 0.0f));
    const glm::mat4 roll = glm::rotate(identity, Roll, glm::vec3(0.0f, 0.0f, 1.0f));
    return roll * pitch * yaw * glm::translate(identity, Translation);
}

glm::mat4 ViewCamera::Projection(float aspect) const {
    // Left-handed: view-space z grows away from the eye, which keeps +x on the right.
    return glm::perspectiveLH_NO(FieldOfViewY, aspect, NearPlane, FarPlane);
}
