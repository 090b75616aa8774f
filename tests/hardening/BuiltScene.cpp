#include "BuiltScene.h"

#include "render/TerrainVertex.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

BuiltScene BuiltScene::From(const RecordingRenderer& device) {
    BuiltScene scene;
    RecordingVertexBuffer* vertexBuffer = device.LastVertexBuffer(TerrainVertex::FormatCode);
    const auto indexBufferFound =
        std::find_if(device.IndexBuffers.begin(), device.IndexBuffers.end(),
                     [&](const RecordingIndexBuffer* buffer) { return device.IsAlive(buffer); });
    if (vertexBuffer == nullptr || !device.IsAlive(vertexBuffer) ||
        indexBufferFound == device.IndexBuffers.end() || vertexBuffer->AllocatedCount <= 0)
        return scene;
    const RecordingIndexBuffer& indexBuffer = **indexBufferFound;
    scene.Found = true;
    scene.Vertices = vertexBuffer->AllocatedCount;
    scene.Indices = indexBuffer.AppendedCount;

    std::vector<TerrainVertex> vertices(static_cast<std::size_t>(scene.Vertices));
    std::memcpy(vertices.data(), vertexBuffer->Data(), vertices.size() * sizeof(TerrainVertex));
    scene.Columns = 1;
    while (scene.Columns < scene.Vertices &&
           vertices[static_cast<std::size_t>(scene.Columns)].X == vertices[0].X)
        ++scene.Columns;
    scene.Rows = scene.Vertices / scene.Columns;

    scene.Lowest = vertices[0].Y;
    scene.Highest = vertices[0].Y;
    for (const TerrainVertex& vertex : vertices) {
        for (const float value : {vertex.X, vertex.Y, vertex.Z, vertex.NX, vertex.NY, vertex.NZ})
            scene.Finite = scene.Finite && std::isfinite(value);
        scene.Lowest = std::min(scene.Lowest, vertex.Y);
        scene.Highest = std::max(scene.Highest, vertex.Y);
    }
    for (const std::uint16_t index : indexBuffer.Indices())
        scene.IndicesInRange = scene.IndicesInRange && index < scene.Vertices;
    return scene;
}
