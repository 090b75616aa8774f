#pragma once

class Renderer;

// What every mesh offers whatever its vertex type: a Renderable holds and draws its mesh through
// this. The operations keep the mesh templates' slot order (destructor, Create, Release, Draw).
class MeshInterface {
public:
    MeshInterface() = default;
    virtual ~MeshInterface() = default;
    MeshInterface(const MeshInterface&) = delete;
    MeshInterface& operator=(const MeshInterface&) = delete;

    // Makes the device's vertex buffer with room for vertexCount vertices.
    virtual bool Create(Renderer* renderer, int vertexCount) = 0;
    // Frees and deletes the buffer of the implementing level.
    virtual void Release() = 0;
    virtual bool Draw() = 0;
};
