#pragma once
// A small offscreen OpenGL context with the renderer on it, and helpers to draw known shapes and
// look at the pixels that come out.

#include "app/gl/EglHeadlessContext.h"
#include "app/gl/GlRenderer.h"
#include "app/image/Image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// Position, normal, diffuse colour, texture coordinates: format 0x152.
struct LitVertex {
    float X, Y, Z;
    float NX = 0.0f, NY = 1.0f, NZ = 0.0f;
    std::uint32_t Diffuse = 0xFFFFFFFF;
    float U = 0.0f, V = 0.0f;
};

struct Rgb {
    int R, G, B;
};

class HeadlessFixture : public ::testing::Test {
public:
    static constexpr int Width = 64;
    static constexpr int Height = 48;

protected:
    void SetUp() override;
    void TearDown() override;

    // One frame with the given draws between BeginScene and EndScene, as pixels.
    template <typename Draws>
    Image Frame(Draws draws) {
        Device->CaptureNextFrame = true;
        Device->BeginScene(1);
        draws();
        Device->EndScene(1);
        return Device->CapturedFrame();
    }

    struct Mesh {
        std::unique_ptr<VertexBuffer> Vertices;
        std::unique_ptr<IndexBuffer> Indices;
        bool Draw(int primitiveType, int primitiveCount) {
            Indices->Select();
            return Vertices->DrawIndexed(primitiveType, Vertices->AllocatedCount, primitiveCount);
        }
    };
    Mesh MakeMesh(const std::vector<LitVertex>& vertices, const std::vector<std::uint16_t>& indices);
    // Two triangles covering x0..x1, y0..y1 at depth z, texture v = 0 at the top.
    Mesh MakeQuad(float x0, float y0, float x1, float y1, float z, std::uint32_t diffuse);
    // The camera at the origin looking along +z.
    void LookAlongZ() { Device->SetCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f); }

    std::filesystem::path Folder;
    std::unique_ptr<EglHeadlessContext> Context;
    std::unique_ptr<GlRenderer> Device;
    std::vector<std::string> Reports;
};

bool Near(Rgb actual, Rgb expected, int tolerance = 3);
::testing::AssertionResult PixelIs(const Image& image, int x, int y, Rgb expected, int tolerance = 3);
