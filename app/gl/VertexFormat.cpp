#include "app/gl/VertexFormat.h"

namespace {
constexpr std::uint32_t PositionBit = 0x002;
constexpr std::uint32_t NormalBit = 0x010;
constexpr std::uint32_t PointSizeBit = 0x020;
constexpr std::uint32_t DiffuseBit = 0x040;
constexpr std::uint32_t SpecularBit = 0x080;
constexpr std::uint32_t TexCountMask = 0xF00;
constexpr int TexCountShift = 8;
constexpr std::uint32_t Known =
    PositionBit | NormalBit | PointSizeBit | DiffuseBit | SpecularBit | TexCountMask;
} // namespace

VertexFormat VertexFormat::FromCode(std::uint32_t code) {
    VertexFormat format;
    // Every drawable format has a plain position; the others (pre-transformed, blend weights,
    // texture coordinates of other sizes) are not drawn.
    if ((code & ~Known) != 0 || (code & PositionBit) == 0)
        return format;
    const int texCount = static_cast<int>((code & TexCountMask) >> TexCountShift);
    if (texCount > 8)
        return format;
    int offset = 0;
    auto take = [&offset](VertexComponent& component, int bytes) {
        component.Present = true;
        component.Offset = offset;
        offset += bytes;
    };
    take(format.Position, 12);
    if (code & NormalBit)
        take(format.Normal, 12);
    if (code & PointSizeBit)
        offset += 4;
    if (code & DiffuseBit)
        take(format.Diffuse, 4);
    if (code & SpecularBit)
        offset += 4;
    if (texCount > 0) {
        take(format.TexCoord, 8);
        offset += (texCount - 1) * 8;
    }
    format.Stride = offset;
    format.Valid = true;
    return format;
}
