// The OpenGL renderer drawing offscreen on Mesa: what lands where, in which colour, what reaches
// the GPU, and the draws it refuses.

#include "app/gl/GlRenderer.h"
#include "app/gl/EglHeadlessContext.h"
#include "app/gl/GlVertexBuffer.h"
#include "app/gl/VertexFormat.h"
#include "app/image/BmpFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace {

constexpr int W = 64, H = 48;

struct Vertex { // format 0x152: position, normal, packed ARGB colour, texture coordinates
    float X, Y, Z, NX = 0, NY = 0, NZ = -1;
    std::uint32_t Diffuse = 0xFFFFFFFF;
    float U = 0, V = 0;
};

// Squares of side 2 * half about (x, y, z) facing the camera, or lying on the ground (y = 0), one
// for each x; texture coordinate v = 0 along the top (far) edge.
std::vector<Vertex> Squares(std::initializer_list<float> xs, float y, float z, float half,
                            std::uint32_t colour, bool ground = false) {
    std::vector<Vertex> corners;
    for (float x : xs)
        for (auto [dx, dy] : {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {-1.0f, 1.0f}, {1.0f, 1.0f}})
            corners.push_back({x + dx * half, ground ? 0 : y + dy * half, z + (ground ? dy * half : 0), 0, 0,
                               -1, colour, (dx + 1) / 2, (1 - dy) / 2});
    return corners;
}

// The pixel as 0xRGB, each channel in quarters (0 to 4) so that 0x80 is 2.
int Rgb(const Image& image, int x, int y) {
    const std::uint8_t* p = image.Pixel(x, y);
    return static_cast<int>(std::lround(p[0] / 63.75) << 8 | std::lround(p[1] / 63.75) << 4 |
                            std::lround(p[2] / 63.75));
}

class GlRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        Context = EglHeadlessContext::Create(W, H, &error);
        ASSERT_NE(Context, nullptr) << error;
        Device = std::make_unique<GlRenderer>(*Context, AssetLocator(std::vector<std::filesystem::path>{}));
        Device->Report = [this](const std::string& message) { Reports.push_back(message); };
        ASSERT_TRUE(Device->Startup(W, H)) << Device->Error();
        IndexBuffer* quads = nullptr;
        Device->CreateIndexBuffer(&quads);
        Quads.reset(quads);
        Quads->Allocate(18, 2, 0);
        for (int i = 0; i < 18; ++i) { // two triangles for each of three quads
            const auto index = static_cast<std::uint16_t>(i / 6 * 4 + "012213"[i % 6] - '0');
            Quads->Append(&index);
        }
    }
    void TearDown() override {
        EXPECT_TRUE(!Context || glGetError() == GL_NO_ERROR) << "an invalid OpenGL call";
    }

    // One frame drawing the quads of each buffer, as pixels.
    Image Frame(std::initializer_list<VertexBuffer*> meshes) {
        Device->CaptureNextFrame = true;
        Device->BeginScene(0);
        for (VertexBuffer* mesh : meshes)
            EXPECT_TRUE(Quads->Select() &&
                        mesh->DrawIndexed(4, mesh->AllocatedCount, mesh->AllocatedCount / 2));
        Device->EndScene(0);
        return Device->CapturedFrame();
    }
    template <typename T>
    std::unique_ptr<VertexBuffer> Buffer(const std::vector<T>& vertices, std::uint32_t format = 0x152) {
        VertexBuffer* buffer = nullptr;
        Device->CreateVertexBuffer(&buffer);
        buffer->Allocate(static_cast<int>(vertices.size()), sizeof(T), 0, format);
        for (const T& vertex : vertices)
            buffer->Append(&vertex);
        return std::unique_ptr<VertexBuffer>(buffer);
    }

    std::unique_ptr<EglHeadlessContext> Context;
    std::unique_ptr<GlRenderer> Device;
    std::unique_ptr<IndexBuffer> Quads;
    std::vector<std::string> Reports;
};

} // namespace

// Colours are ARGB with alpha ignored, +x is right and +y up, the nearer surface wins; the fly
// view from 10 above looks along +z at heading 0 and turns towards -x for a positive heading; the
// texture, v = 0 at the top, times the vertex colour, or white without one (format 0x102).
TEST_F(GlRendererTest, PixelsLandWhereAndInTheColourTheEngineExpects) {
    auto near = Buffer(Squares({0}, 0, 5, 1, 0xFF00FF00)),
         topRight = Buffer(Squares({100}, 100, 10, 100, 0x00FF0000)), // alpha 0
        bottom = Buffer(Squares({0}, -100, 10, 100, 0x800000FF));
    const Image frame = Frame({near.get(), topRight.get(), bottom.get()});
    EXPECT_EQ(std::tuple(Rgb(frame, W * 3 / 4, H / 4), Rgb(frame, W / 4, H / 4), Rgb(frame, W / 2, H * 3 / 4),
                         Rgb(frame, W / 2, H / 2)),
              std::tuple(0x400, 0x000, 0x004, 0x040));
    std::vector<Vertex> ground =
        Squares({30}, 0, 0, 15, 0xFFFF0000, true); // red towards +x, blue +z, green -x
    for (const auto& more :
         {Squares({0}, 0, 30, 15, 0xFF0000FF, true), Squares({-30}, 0, 0, 15, 0xFF00FF00, true)})
        ground.insert(ground.end(), more.begin(), more.end());
    auto markers = Buffer(ground);
    for (auto [heading, colour] : {std::pair{0.0f, 0x004}, {1.5707963f, 0x040}, {-1.5707963f, 0x400}}) {
        Device->SetCamera(0, -10, 0, heading, 0, 0);
        EXPECT_EQ(Rgb(Frame({markers.get()}), W / 2, H / 2 + 14), colour) << heading; // 30 ahead
    }
    Device->SetCamera(0, 0, 0, 0, 0, 0);

    const std::string file = "/tmp/veltra-gl-" + std::to_string(getpid()) + ".bmp";
    Image picture(16, 16); // red over blue
    for (std::size_t i = 0; i < 256; ++i)
        picture.Rgba[4 * i + (i < 128 ? 0 : 2)] = picture.Rgba[4 * i + 3] = 255;
    ASSERT_TRUE(bmp::Write(file, picture, 24, false));
    const std::uint32_t texture = Device->LoadTexture(file.c_str());
    std::ofstream(file) << "BM not a bitmap";
    for (const char* unusable : {"", "missing.bmp", file.c_str()})
        EXPECT_EQ(Device->LoadTexture(unusable), 0u) << unusable;
    std::filesystem::remove(file);
    EXPECT_EQ(std::pair(texture, Reports.size()), std::pair(1u, std::size_t{2}))
        << "a reason for each named file";
    std::vector<std::array<float, 5>> plain; // position and texture coordinates
    for (const Vertex& v : Squares({0}, 0, 10, 5, 0))
        plain.push_back({v.X, v.Y, v.Z, v.U, v.V});
    auto grey = Buffer(Squares({0}, 0, 10, 5, 0xFF808080)), white = Buffer(plain, 0x102);
    for (auto [handle, mesh, colours] : {std::tuple{1u, grey.get(), 0x200002},
                                         {0u, grey.get(), 0x222222},
                                         {101u, grey.get(), 0x222222},
                                         {1u, white.get(), 0x400004}}) {
        EXPECT_EQ(Device->SetTexture(handle, 0), handle != 101);
        const Image textured = Frame({mesh});
        EXPECT_EQ(Rgb(textured, W / 2, 8) << 12 | Rgb(textured, W / 2, 40), colours) << handle;
    }
}

// Changes reach the GPU, and only they; nothing is drawn that would read past a buffer or that the
// device cannot make; buffers that outlive the device keep their memory and draw no more.
TEST_F(GlRendererTest, ChangesAreSentAndUnsafeDrawsRefused) {
    std::vector<Vertex> vertices = Squares({-4, 0, 4}, 0, 10, 2, 0xFF0000FF);
    auto squares = Buffer(vertices), quad = Buffer(Squares({0}, 0, 10, 1, 0));
    auto* sent = dynamic_cast<GlVertexBuffer*>(squares.get());
    ASSERT_NE(sent, nullptr);
    Frame({sent});
    Frame({sent}); // sends nothing
    EXPECT_EQ(sent->UploadedBytes, 12 * sizeof(Vertex));
    for (std::size_t i = 4; i < 8; ++i) { // the middle square turns red, vertex by vertex
        vertices[i].Diffuse = 0xFFFF0000;
        sent->Set(static_cast<int>(i), &vertices[i]);
    }
    const Image frame = Frame({sent});
    EXPECT_EQ(sent->UploadedBytes, 16 * sizeof(Vertex));
    EXPECT_EQ(Rgb(frame, W / 4, H / 2) << 24 | Rgb(frame, W / 2, H / 2) << 12 | Rgb(frame, W * 3 / 4, H / 2),
              0x004400004);
    EXPECT_EQ(std::pair(Device->FrameCount, Device->DrawCalls), std::pair(3u, 3));

    IndexBuffer* gone = nullptr;
    Device->CreateIndexBuffer(&gone);
    gone->Select();
    delete gone; // the selection goes with the buffer
    EXPECT_FALSE(squares->DrawIndexed(4, 12, 2));
    Quads->Select();
    // The most primitives of each type that 18 indices make, and one more.
    for (auto [type, most] : {std::pair{1, 18}, {2, 9}, {3, 17}, {4, 6}, {5, 16}, {6, 16}})
        EXPECT_TRUE(squares->DrawIndexed(type, 12, most) && !squares->DrawIndexed(type, 12, most + 1))
            << type;
    EXPECT_FALSE(squares->DrawIndexed(4, 12, 0) || squares->DrawIndexed(9, 12, 2));
    EXPECT_FALSE(quad->DrawIndexed(4, 4, 3)); // index 6 of four vertices
    // Element sizes that disagree with the format, and an unknown format bit.
    for (auto [size, format] : {std::pair{24, 0x152u}, {36, 0x1152u}}) {
        quad->Allocate(4, size, 0, format);
        EXPECT_FALSE(quad->DrawIndexed(4, 4, 2)) << size;
    }
    EXPECT_EQ(Device->DrawCalls, 9);
    Device.reset();
    EXPECT_NE(squares->Get(0), nullptr);
    EXPECT_FALSE(squares->DrawIndexed(4, 12, 2) || Quads->Select());
}

TEST(VertexFormatTest, SkippedComponentsMoveLaterOnesAndOddCodesAreRefused) {
    const VertexFormat wide = VertexFormat::FromCode(0x2E2); // point size, specular, two texture sets
    EXPECT_EQ(std::tuple(wide.Valid, wide.Diffuse.Offset, wide.TexCoord.Offset, wide.Stride),
              std::tuple(true, 16, 24, 40));
    // No position, pre-transformed positions, unknown bits, more than eight texture sets.
    for (std::uint32_t code : {0x040u, 0x004u, 0x1152u, 0x10152u, 0x902u})
        EXPECT_FALSE(VertexFormat::FromCode(code).Valid) << std::hex << code;
}
