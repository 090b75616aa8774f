#include "render/Terrain.h"

#include "heightmap/Heightmap.h"
#include "host/Renderer.h"

#include <cmath>
#include <cstdint>

namespace {
struct Vector {
    float X = 0.0f, Y = 0.0f, Z = 0.0f;
};

Vector PositionOf(const TerrainVertex& vertex) {
    return {vertex.X, vertex.Y, vertex.Z};
}

Vector Cross(const Vector& a, const Vector& b) {
    return {a.Y * b.Z - b.Y * a.Z, a.Z * b.X - b.Z * a.X, a.X * b.Y - b.X * a.Y};
}

Vector operator+(const Vector& a, const Vector& b) {
    return {a.X + b.X, a.Y + b.Y, a.Z + b.Z};
}

std::uint16_t Index(int vertex) {
    return static_cast<std::uint16_t>(vertex);
}
} // namespace

Terrain::~Terrain() = default;

void Terrain::Render(Renderer* renderer) {
    if (Texture != 0 && renderer != nullptr)
        renderer->SetTexture(Texture, 0);
    if (Mesh != nullptr)
        Mesh->Draw();
}

void Terrain::Build(Renderer* renderer, const Heightmap* heightmap) {
    if (renderer == nullptr || heightmap == nullptr)
        return;
    const int width = heightmap->Width;
    const int height = heightmap->Height;
    // The vertex positions divide by width - 1 and height - 1, and indices are 16-bit.
    if (width < 2 || height < 2 || static_cast<std::int64_t>(width) * height > MaxVertices)
        return;

    CreateMesh(renderer, width, height);

    TerrainVertex vertex;
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) {
            const float across = static_cast<float>(c) / static_cast<float>(width - 1);
            const float along = static_cast<float>(r) / static_cast<float>(height - 1);
            vertex.X = along * ExtentX - ExtentX / 2.0f;
            vertex.Y = heightmap->Data[r * width + c];
            vertex.Z = across * ExtentZ - ExtentZ / 2.0f;
            vertex.NX = vertex.NY = vertex.NZ = 0.0f;
            vertex.Diffuse = 0xFFFFFFFF;
            vertex.U = across;
            vertex.V = along;
            Mesh->AddVertex(&vertex);
        }

    // One strip for the whole grid: a pair of rows after the other, joined by degenerate triangles.
    for (int r = 0; r + 1 < height; ++r) {
        if (r > 0)
            Mesh->AddStripJoin(Index(r * width), Index((r + 1) * width));
        Mesh->AddIndex(Index(r * width));
        Mesh->AddIndex(Index((r + 1) * width));
        for (int c = 1; c < width; ++c) {
            Mesh->AddIndex(Index(r * width + c));
            Mesh->AddIndex(Index((r + 1) * width + c));
        }
    }

    ComputeNormals();
}

bool Terrain::CreateMesh(Renderer* renderer, int width, int height) {
    Mesh.reset();
    Mesh = std::make_unique<StripMesh>();
    Mesh->Create(renderer, width * height, (height - 1) * (2 * width + 4) - 4);
    GridWidth = width;
    GridHeight = height;
    return true;
}

void Terrain::ComputeNormals() {
    if (Mesh == nullptr)
        return;
    const int width = GridWidth;
    TerrainVertex centre, left, down, right, up;
    for (int i = 1; i < GridWidth - 1; ++i)
        for (int j = 1; j < GridHeight - 1; ++j) {
            const int n = j * width + i;
            Mesh->GetVertex(n, &centre);
            Mesh->GetVertex(n - 1, &left);
            Mesh->GetVertex(n - width, &down);
            Mesh->GetVertex(n + 1, &right);
            Mesh->GetVertex(n + width, &up);
            const Vector l = PositionOf(left), d = PositionOf(down), r = PositionOf(right),
                         u = PositionOf(up);
            // Twice the quadrilateral's vector area, (R - L) x (U - D): it points up (+y).
            const Vector sum = Cross(l, d) + Cross(d, r) + Cross(r, u) + Cross(u, l);
            const float length = std::sqrt(sum.X * sum.X + sum.Y * sum.Y + sum.Z * sum.Z);
            centre.NX = sum.X / length;
            centre.NY = sum.Y / length;
            centre.NZ = sum.Z / length;
            Mesh->SetVertex(n, &centre);
        }
}

float Terrain::GetHeight(float z, float x) const {
    // The query scales by the column and row counts, not by the counts less one as the vertices
    // do: the vertex of column c answers to grid coordinate c * W / (W - 1).
    const float gc = (z + ExtentZ / 2.0f) / ExtentZ * static_cast<float>(GridWidth);
    const float gr = (x + ExtentX / 2.0f) / ExtentX * static_cast<float>(GridHeight);
    // A cell needs c0 >= 0 and c0 + 1 <= W - 1, that is -1 < gc < W - 1 (likewise for rows);
    // testing before truncating also keeps NaN and huge positions from being converted.
    if (!(gc > -1.0f && gc < static_cast<float>(GridWidth - 1)) ||
        !(gr > -1.0f && gr < static_cast<float>(GridHeight - 1)) || Mesh == nullptr)
        return 0.0f;
    const int c0 = static_cast<int>(gc);
    const int r0 = static_cast<int>(gr);
    const int c1 = c0 + 1;
    const int r1 = r0 + 1;
    const int width = GridWidth;

    TerrainVertex r0c1, r0c0, r1c1, r1c0;
    Mesh->GetVertex(r0 * width + c1, &r0c1);
    Mesh->GetVertex(r0 * width + c0, &r0c0);
    Mesh->GetVertex(r1 * width + c1, &r1c1);
    Mesh->GetVertex(r1 * width + c0, &r1c0);
    const float a = (gc - static_cast<float>(c0)) * r0c1.Y + (static_cast<float>(c1) - gc) * r0c0.Y;
    const float b = (gc - static_cast<float>(c0)) * r1c1.Y + (static_cast<float>(c1) - gc) * r1c0.Y;
    return (gr - static_cast<float>(r0)) * b + (static_cast<float>(r1) - gr) * a;
}
