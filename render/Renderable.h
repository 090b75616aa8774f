#pragma once

#include "render/Material.h"
#include "render/MeshInterface.h"

#include <memory>

class Renderer;

// A drawable scene object: one mesh, drawn with its material's texture on a device.
class Renderable {
public:
    ::Material Material;
    std::unique_ptr<MeshInterface> Mesh; // null until a derived class makes it
    Renderer* Device = nullptr;          // not owned

    explicit Renderable(Renderer* device);
    virtual ~Renderable();
    Renderable(const Renderable&) = delete;
    Renderable& operator=(const Renderable&) = delete;

    virtual ::Material& GetMaterial();
    virtual const ::Material& GetMaterial() const;
    // Binds the texture (when there is a device) and draws the mesh; false without a mesh.
    virtual bool Render();
};
