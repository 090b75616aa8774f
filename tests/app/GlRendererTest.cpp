// The OpenGL renderer, drawing offscreen on Mesa: what lands where, in which colour.

#include "HeadlessFixture.h"

#include "app/gl/GlVertexBuffer.h"
#include "app/image/BmpFile.h"

#include <cmath>

namespace {

constexpr Rgb Black{0, 0, 0};
constexpr Rgb Red{255, 0, 0};
constexpr Rgb Green{0, 255, 0};
constexpr Rgb Blue{0, 0, 255};

constexpr int Left = HeadlessFixture::Width / 4;
constexpr int Right = HeadlessFixture::Width * 3 / 4;
constexpr int Top = HeadlessFixture::Height / 4;
constexpr int Bottom = HeadlessFixture::Height * 3 / 4;
constexpr int MiddleX = HeadlessFixture::Width / 2;
constexpr int MiddleY = HeadlessFixture::Height / 2;

// A picture whose top half is red and bottom half blue.
Image RedOverBlue() {
    Image picture(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            std::uint8_t* pixel = picture.Pixel(x, y);
            pixel[0] = y < 8 ? 255 : 0;
            pixel[2] = y < 8 ? 0 : 255;
            pixel[3] = 255;
        }
    return picture;
}

} // namespace

class GlRendererTest : public HeadlessFixture {};

TEST_F(GlRendererTest, PackedColoursAreArgbWithAlphaIgnored) {
    LookAlongZ();
    Mesh red = MakeQuad(-100.0f, 0.0f, 100.0f, 100.0f, 10.0f, 0x00FF0000); // alpha 0 still draws
    Mesh blue = MakeQuad(-100.0f, -100.0f, 100.0f, 0.0f, 10.0f, 0x800000FF);
    Image frame = Frame([&] {
        red.Draw(4, 2);
        blue.Draw(4, 2);
    });
    EXPECT_TRUE(PixelIs(frame, MiddleX, Top, Red)); // world y > 0 is up
    EXPECT_TRUE(PixelIs(frame, MiddleX, Bottom, Blue));
    EXPECT_TRUE(PixelIs(frame, 0, Top, Red)); // whole rows turned the right way up
}

TEST_F(GlRendererTest, NearerSurfaceHidesFartherWhateverTheDrawOrder) {
    LookAlongZ();
    Mesh near = MakeQuad(-100.0f, -100.0f, 100.0f, 100.0f, 10.0f, 0xFFFF0000);
    Mesh far = MakeQuad(-100.0f, -100.0f, 100.0f, 100.0f, 20.0f, 0xFF0000FF);
    for (bool nearFirst : {true, false}) {
        Image frame = Frame([&] {
            (nearFirst ? near : far).Draw(4, 2);
            (nearFirst ? far : near).Draw(4, 2);
        });
        EXPECT_TRUE(PixelIs(frame, MiddleX, MiddleY, Red)) << nearFirst;
    }
}

TEST_F(GlRendererTest, CameraConventionsOfTheTopAndFlyViews) {
    // Square markers on the ground (y = 0): red towards +x, blue towards +z, green towards -x.
    auto marker = [this](float x, float z, float half, std::uint32_t colour) {
        return MakeMesh({{x - half, 0, z - half, 0, 1, 0, colour},
                         {x + half, 0, z - half, 0, 1, 0, colour},
                         {x - half, 0, z + half, 0, 1, 0, colour},
                         {x + half, 0, z + half, 0, 1, 0, colour}},
                        {0, 1, 2, 2, 1, 3});
    };

    // Top view: the eye 700 above the origin, looking straight down; +x right, +z up.
    Mesh east = marker(200.0f, 0.0f, 40.0f, 0xFFFF0000);
    Mesh north = marker(0.0f, 200.0f, 40.0f, 0xFF0000FF);
    Mesh west = marker(-200.0f, 0.0f, 40.0f, 0xFF00FF00);
    Device->SetCamera(0.0f, -700.0f, 0.0f, 0.0f, -1.57f, 0.0f);
    Image top = Frame([&] {
        east.Draw(4, 2);
        north.Draw(4, 2);
        west.Draw(4, 2);
    });
    const double halfHeight = 700.0 * std::tan(ViewCamera::FieldOfViewY / 2.0);
    const int offsetX = static_cast<int>(std::lround(200.0 / (halfHeight * Width / Height) * Width / 2));
    const int offsetY = static_cast<int>(std::lround(200.0 / halfHeight * Height / 2));
    EXPECT_TRUE(PixelIs(top, MiddleX + offsetX, MiddleY, Red));
    EXPECT_TRUE(PixelIs(top, MiddleX - offsetX, MiddleY, Green));
    EXPECT_TRUE(PixelIs(top, MiddleX, MiddleY - offsetY, Blue));
    EXPECT_TRUE(PixelIs(top, MiddleX, MiddleY, Black));

    // Fly view from 10 above the origin: heading 0 looks along +z, a heading h along
    // (-sin h, 0, cos h), so a positive heading turns towards -x. The row sampled sees the
    // ground about 30 ahead.
    Mesh nearEast = marker(30.0f, 0.0f, 15.0f, 0xFFFF0000);
    Mesh nearNorth = marker(0.0f, 30.0f, 15.0f, 0xFF0000FF);
    Mesh nearWest = marker(-30.0f, 0.0f, 15.0f, 0xFF00FF00);
    const int groundRow = MiddleY + 14;
    auto flyView = [&](float heading) {
        Device->SetCamera(0.0f, -10.0f, 0.0f, heading, 0.0f, 0.0f);
        return Frame([&] {
            nearEast.Draw(4, 2);
            nearNorth.Draw(4, 2);
            nearWest.Draw(4, 2);
        });
    };
    EXPECT_TRUE(PixelIs(flyView(0.0f), MiddleX, groundRow, Blue));
    EXPECT_TRUE(PixelIs(flyView(1.5707963f), MiddleX, groundRow, Green));
    EXPECT_TRUE(PixelIs(flyView(-1.5707963f), MiddleX, groundRow, Red));
}

TEST_F(GlRendererTest, VertexColourModulatesTheTextureAndWithoutOneWhiteIsUsed) {
    ASSERT_TRUE(bmp::Write(Folder / "picture.bmp", RedOverBlue(), 24, false));
    const std::uint32_t texture = Device->LoadTexture("picture.bmp");
    ASSERT_NE(texture, 0u);
    LookAlongZ();
    // Texture coordinate v = 0 (the picture's top) at the top of the quad; half-grey vertices.
    Mesh quad = MakeQuad(-5.0f, -5.0f, 5.0f, 5.0f, 10.0f, 0xFF808080);
    Image frame = Frame([&] {
        EXPECT_TRUE(Device->SetTexture(texture, 0));
        quad.Draw(4, 2);
    });
    EXPECT_TRUE(PixelIs(frame, MiddleX, Top - 4, {128, 0, 0}, 4));
    EXPECT_TRUE(PixelIs(frame, MiddleX, Bottom + 4, {0, 0, 128}, 4));
    // A texture that cannot be had is handle 0 with a reason; 0, or a handle never given out,
    // draws with the vertex colour alone.
    EXPECT_EQ(Device->LoadTexture("missing.bmp"), 0u);
    EXPECT_EQ(Reports.size(), 1u);
    for (std::uint32_t untextured : {0u, texture + 100u}) {
        Image plain = Frame([&] {
            Device->SetTexture(untextured, 0);
            quad.Draw(4, 2);
        });
        EXPECT_TRUE(PixelIs(plain, MiddleX, Top - 4, {128, 128, 128}, 2));
    }

    // Position and texture only (format 0x102): white times the texture.
    struct BoxVertex {
        float X, Y, Z, U, V;
    };
    VertexBuffer* raw = nullptr;
    Device->CreateVertexBuffer(&raw);
    std::unique_ptr<VertexBuffer> box(raw);
    box->Allocate(4, sizeof(BoxVertex), 0, 0x102);
    for (BoxVertex v : {BoxVertex{-5, -5, 10, 0, 1}, {5, -5, 10, 1, 1}, {-5, 5, 10, 0, 0}, {5, 5, 10, 1, 0}})
        box->Append(&v);
    frame = Frame([&] {
        Device->SetTexture(texture, 0);
        quad.Indices->Select();
        EXPECT_TRUE(box->DrawIndexed(4, 4, 2));
    });
    EXPECT_TRUE(PixelIs(frame, MiddleX, Top - 4, Red, 4));
    EXPECT_TRUE(PixelIs(frame, MiddleX, Bottom + 4, Blue, 4));
}

TEST_F(GlRendererTest, ChangedVerticesReachTheNextFrameAndOnlyTheChangedRangeIsSent) {
    LookAlongZ();
    // Many small quads side by side, so that one changed vertex is a small part of the buffer.
    std::vector<LitVertex> vertices;
    std::vector<std::uint16_t> indices;
    for (int column = 0; column < 16; ++column) {
        const float x0 = -8.0f + static_cast<float>(column);
        const auto first = static_cast<std::uint16_t>(vertices.size());
        for (auto [x, y] : {std::pair{x0, -10.0f}, {x0 + 1, -10.0f}, {x0, 10.0f}, {x0 + 1, 10.0f}})
            vertices.push_back({x, y, 10.0f, 0, 0, -1, 0xFF0000FF});
        for (int corner : {0, 1, 2, 2, 1, 3})
            indices.push_back(static_cast<std::uint16_t>(first + corner));
    }
    Mesh mesh = MakeMesh(vertices, indices);
    Frame([&] { mesh.Draw(4, 32); });
    auto* buffer = dynamic_cast<GlVertexBuffer*>(mesh.Vertices.get());
    ASSERT_NE(buffer, nullptr);
    const std::size_t fullUpload = buffer->UploadedBytes;
    EXPECT_EQ(fullUpload, vertices.size() * sizeof(LitVertex));

    // Nothing changed: nothing is sent.
    Frame([&] { mesh.Draw(4, 32); });
    EXPECT_EQ(buffer->UploadedBytes, fullUpload);

    // The quad in the middle turns red through Set, written vertex by vertex.
    for (int corner = 0; corner < 4; ++corner) {
        LitVertex vertex = vertices[static_cast<std::size_t>(8 * 4 + corner)];
        vertex.Diffuse = 0xFFFF0000;
        mesh.Vertices->Set(8 * 4 + corner, &vertex);
    }
    Image frame = Frame([&] { mesh.Draw(4, 32); });
    EXPECT_EQ(buffer->UploadedBytes - fullUpload, 4 * sizeof(LitVertex));
    const int middleColumnX = MiddleX + 1; // the quad from x = 0 to 1 lies just right of centre
    EXPECT_TRUE(PixelIs(frame, middleColumnX, MiddleY, Red));
    EXPECT_TRUE(PixelIs(frame, Left, MiddleY, Blue));
}

TEST_F(GlRendererTest, DrawsThatCannotBeMadeSafelyAreRefused) {
    LookAlongZ();
    Mesh quad = MakeQuad(-100.0f, -100.0f, 100.0f, 100.0f, 10.0f, 0xFFFF0000);
    EXPECT_FALSE(quad.Vertices->DrawIndexed(4, 4, 2)); // no index buffer selected yet
    Mesh gone = MakeQuad(-1.0f, -1.0f, 1.0f, 1.0f, 10.0f, 0xFF00FF00);
    gone.Indices->Select();
    gone.Indices.reset(); // the selection goes with the buffer
    EXPECT_FALSE(quad.Vertices->DrawIndexed(4, 4, 2));

    Mesh pastTheEnd = MakeMesh({{-100, -100, 10}, {100, -100, 10}, {0, 100, 10}}, {0, 1, 7});
    Mesh odd = MakeMesh({{-100, -100, 10}, {100, -100, 10}, {0, 100, 10}}, {0, 1, 2});
    Image frame = Frame([&] {
        EXPECT_FALSE(quad.Draw(4, 3));       // 9 indices from a buffer of 6
        EXPECT_FALSE(quad.Draw(5, 5));       // 7 indices
        EXPECT_FALSE(quad.Draw(4, 0));       // nothing to draw
        EXPECT_FALSE(quad.Draw(9, 2));       // no such primitive type
        EXPECT_FALSE(pastTheEnd.Draw(4, 1)); // index 7 of 3 vertices
        // A format whose size disagrees with the element size, and an unknown format bit.
        odd.Indices->Select();
        odd.Vertices->Allocate(3, 24, 0, 0x152);
        EXPECT_FALSE(odd.Vertices->DrawIndexed(4, 3, 1));
        odd.Vertices->Allocate(3, 36, 0, 0x1152);
        EXPECT_FALSE(odd.Vertices->DrawIndexed(4, 3, 1));
    });
    EXPECT_TRUE(PixelIs(frame, MiddleX, MiddleY, Black));
    EXPECT_EQ(Device->DrawCalls, 0);
}

TEST_F(GlRendererTest, BuffersOutlivingTheDeviceStopDrawing) {
    Mesh quad = MakeQuad(-1.0f, -1.0f, 1.0f, 1.0f, 10.0f, 0xFFFF0000);
    Frame([&] { quad.Draw(4, 2); });
    Device.reset();
    // Their memory stays readable; drawing is refused rather than reaching a dead device.
    EXPECT_NE(quad.Vertices->Get(0), nullptr);
    EXPECT_FALSE(quad.Vertices->DrawIndexed(4, 4, 2));
    EXPECT_FALSE(quad.Indices->Select());
}
