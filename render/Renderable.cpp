#include "render/Renderable.h"

#include "host/Renderer.h"

Renderable::Renderable(Renderer* device) : Device(device) {}

Renderable::~Renderable() = default;

::Material& Renderable::GetMaterial() {
    return Material;
}

const ::Material& Renderable::GetMaterial() const {
    return Material;
}

bool Renderable::Render() {
    if (Mesh == nullptr)
        return false;
    if (Device != nullptr)
        Device->SetTexture(Material.Texture, 0);
    Mesh->Draw();
    return true;
}
