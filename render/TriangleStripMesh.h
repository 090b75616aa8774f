#pragma once

#include "render/IndexedMesh.h"

#include <cstdint>

// Draws its indices as one triangle strip: every index after the first two makes a triangle. Final,
// so that the terrain's calls on its tiles go straight to the buffer.
template <typename V>
class TriangleStripMesh final : public IndexedMesh<V> {
public:
    static constexpr int PrimitiveType = 5;

    bool Draw() override {
        if (this->Vertices == nullptr || this->Indices == nullptr)
            return false;
        this->Indices->Select();
        this->Vertices->DrawIndexed(PrimitiveType, this->Vertices->AllocatedCount,
                                    this->Indices->AllocatedCount - 2);
        return true;
    }

    // Joins the strip so far to a new one that starts with a, b: repeats the last index, then a
    // twice, then b. The four indices make only degenerate triangles and keep the new strip
    // starting on an even position, so it keeps the winding of the first.
    bool AddStripJoin(std::uint16_t a, std::uint16_t b) {
        // Nothing to join to (no buffer, or one that kept nothing): Get would be asked for a
        // position the buffer does not hold.
        if (this->Indices == nullptr || this->Indices->AppendedCount < 1)
            return true;
        const std::uint16_t last = this->Indices->Get(this->Indices->AppendedCount - 1);
        this->AddIndex(last);
        this->AddIndex(a);
        this->AddIndex(a);
        this->AddIndex(b);
        return true;
    }
};
