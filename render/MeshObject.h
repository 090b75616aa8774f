#pragma once

#include "render/Renderable.h"

// A Renderable whose mesh it builds itself.
class MeshObject : public Renderable {
public:
    using Renderable::Renderable;
};
