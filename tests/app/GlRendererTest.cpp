// The OpenGL renderer drawing offscreen on Mesa: what lands where, in which colour, what reaches
// the GPU, and the draws it refuses.

#include "app/gl/GlRenderer.h"
#include "app/gl/EglHeadlessContext.h"
#include "app/gl/GlVertexBuffer.h"
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

// Squares of side 2 * half about (x, y, z) facing the camera, one for each x; texture coordinate
// v = 0 along the top edge.
std::vector<Vertex> Squares(std::initializer_list<float> xs, float y, float z, float half,
                            std::uint32_t colour) {
    std::vector<Vertex> corners;
    for (float x : xs)
        for (auto [dx, dy] : {std::pair{-1.0f, -1.0f}, {1.0f, -1.0f}, {-1.0f, 1.0f}, {1.0f, 1.0f}})
            corners.push_back(
                {x + dx * half, y + dy * half, z, 0, 0, -1, colour, (dx + 1) / 2, (1 - dy) / 2});
    return corners;
}

// The pixel as 0xRGB, each channel in quarters (0 to 4) so that 0x80 is 2.
int Rgb(const Image& image, int x, int y) {
    const std::uint8_t* p = image.Pixel(x, y);
    return static_cast<int>(std::lround(p[0] / 63.75) << 8 | std::lround(p[1] / 63.75) << 4 |
                            std::lround(p[2] / 63.75));
}

} // namespace

// What lands where in which colour: colours are ARGB with alpha ignored, +x is right and +y up,
// the nearer surface wins; a texture (v = 0 at its top) times the vertex colour, or white without
// vertex colours (format 0x102). Nothing is drawn that would read past a buffer or that the device cannot
// make; buffers that outlive the device draw no more.
TEST(GlRendererTest, DrawsWhatTheEngineExpectsAndRefusesWhatItCannotDrawSafely) {
    std::string error;
    std::unique_ptr<EglHeadlessContext> context = EglHeadlessContext::Create(W, H, &error);
    ASSERT_NE(context, nullptr) << error;
    // Sizes it cannot make keep the one it has.
    EXPECT_TRUE(context->Resize(1, 1, &error) && !context->Resize(1 << 20, 1, &error) &&
                context->Resize(W, H, &error) && !context->Resize(W, 0, &error) &&
                !context->Resize(0, H, &error));
    auto device = std::make_unique<GlRenderer>(*context, AssetLocator(std::vector<std::filesystem::path>{}));
    std::vector<std::string> reports;
    device->Report = [&](const std::string& message) { reports.push_back(message); };
    ASSERT_TRUE(device->Startup(W, H)) << device->Error();
    IndexBuffer* indices = nullptr;
    EXPECT_TRUE(device->CreateIndexBuffer(&indices));
    std::unique_ptr<IndexBuffer> quads(indices);
    quads->Allocate(18, 2, 0); // two triangles for each of three quads
    for (std::uint16_t index : {0, 1, 2, 2, 1, 3, 4, 5, 6, 6, 5, 7, 8, 9, 10, 10, 9, 11})
        quads->Append(&index);
    auto buffer = [&](const auto& vertices, std::uint32_t format = 0x152) {
        VertexBuffer* created = nullptr;
        EXPECT_TRUE(device->CreateVertexBuffer(&created));
        created->Allocate(static_cast<int>(vertices.size()), sizeof(vertices[0]), 0, format);
        for (const auto& vertex : vertices)
            created->Append(&vertex);
        return std::unique_ptr<VertexBuffer>(created);
    };
    auto frame = [&](std::initializer_list<VertexBuffer*> meshes) { // one frame drawing their quads
        device->CaptureNextFrame = true;
        device->BeginScene(0);
        for (VertexBuffer* mesh : meshes)
            EXPECT_TRUE(quads->Select() &&
                        mesh->DrawIndexed(4, mesh->AllocatedCount, mesh->AllocatedCount / 2));
        device->EndScene(0);
        return device->CapturedFrame();
    };

    auto near = buffer(Squares({0}, 0, 5, 1, 0xFF00FF00)),
         topRight = buffer(Squares({100}, 100, 10, 100, 0xFF0000)),
         bottom = buffer(Squares({0}, -100, 10, 100, 0x800000FF)); // alpha 0 and 0x80
    const Image first = frame({near.get(), topRight.get(), bottom.get()});
    EXPECT_EQ(std::tuple(Rgb(first, W * 3 / 4, H / 4), Rgb(first, W / 4, H / 4), Rgb(first, W / 2, H * 3 / 4),
                         Rgb(first, W / 2, H / 2)),
              std::tuple(0x400, 0x000, 0x004, 0x040));
    // After the whole buffer, only a changed vertex goes up, to its place: half the diagonal turns red.
    const std::vector<Vertex> red = Squares({0}, 0, 5, 1, 0xFF0000);
    EXPECT_TRUE(near->Set(1, &red[1]));
    EXPECT_EQ(Rgb(frame({near.get()}), W / 2, H / 2), 0x220);
    EXPECT_EQ(static_cast<GlVertexBuffer*>(near.get())->UploadedBytes, 5 * sizeof(Vertex));
    // Only what a draw's indices reach goes up; a change past it goes with the draw that reaches it.
    auto pair = buffer(Squares({-100, 100}, 100, 10, 100, 0xFF0000));
    device->BeginScene(0);
    EXPECT_TRUE(quads->Select() && pair->DrawIndexed(4, 8, 2));
    device->EndScene(0);
    EXPECT_EQ(static_cast<GlVertexBuffer*>(pair.get())->UploadedBytes, 4 * sizeof(Vertex));
    const std::vector<Vertex> green = Squares({-100, 100}, 100, 10, 100, 0xFF00);
    for (int v = 4; v < 8; ++v)
        EXPECT_TRUE(pair->Set(v, &green[static_cast<std::size_t>(v)]));
    const Image both = frame({pair.get()});
    EXPECT_EQ(std::pair(Rgb(both, W / 4, H / 4), Rgb(both, W * 3 / 4, H / 4)), std::pair(0x400, 0x040));

    const std::string file = "/tmp/veltra-gl-" + std::to_string(getpid()) + ".bmp";
    Image picture(16, 16); // half red over half blue
    for (std::size_t i = 0; i < 256; ++i)
        picture.Rgba[4 * i + (i < 128 ? 0 : 2)] = 128, picture.Rgba[4 * i + 3] = 255;
    ASSERT_TRUE(bmp::Write(file, picture, 24, false));
    const std::uint32_t texture = device->LoadTexture(file.c_str());
    std::ofstream(file) << "BM not a bitmap";
    for (const char* unusable : {"", "missing.bmp", file.c_str()})
        EXPECT_EQ(device->LoadTexture(unusable), 0u) << unusable;
    std::filesystem::remove(file);
    EXPECT_EQ(std::pair(texture, reports.size()), std::pair(1u, std::size_t{2}))
        << "a reason for each named file";
    const std::vector<std::array<float, 5>> plain = {
        {-5, -5, 10, 0, 1}, {5, -5, 10, 1, 1}, {-5, 5, 10, 0, 0}, {5, 5, 10, 1, 0}};
    auto grey = buffer(Squares({0}, 0, 10, 5, 0xFF808080)), white = buffer(plain, 0x102); // position, texture
    // Texture 0 or one never given out: the vertex colour alone. Top and bottom as 0xRGBRGB.
    for (auto [handle, mesh, colours] : {std::tuple{1u, grey.get(), 0x100001},
                                         {0u, grey.get(), 0x222222},
                                         {101u, grey.get(), 0x222222},
                                         {1u, white.get(), 0x200002}}) {
        EXPECT_EQ(device->SetTexture(handle, 0), handle != 101);
        const Image textured = frame({mesh});
        EXPECT_EQ(Rgb(textured, W / 2, 8) << 12 | Rgb(textured, W / 2, 40), colours) << handle;
    }
    EXPECT_TRUE(device->ReleaseTexture(1) && !device->ReleaseTexture(1)); // and the bound one goes too
    EXPECT_EQ(Rgb(frame({grey.get()}), W / 2, 8), 0x222);
    // A positive yaw turns the view towards -x, where the engine's eye then travels.
    auto aside = buffer(Squares({-5}, 0, 5, 1, 0xFF0000FF));
    device->SetCamera(0, 0, 0, 0.785f, 0, 0);
    EXPECT_EQ(Rgb(frame({aside.get()}), W / 2, H / 2), 0x004);

    auto squares = buffer(Squares({-4, 0, 4}, 0, 10, 2, 0)), quad = buffer(Squares({0}, 0, 10, 1, 0));
    EXPECT_EQ(std::pair(device->FrameCount, device->DrawCalls), std::pair(10u, 12));
    IndexBuffer* gone = nullptr;
    EXPECT_TRUE(!device->CreateIndexBuffer(nullptr) && !device->CreateVertexBuffer(nullptr) &&
                device->CreateIndexBuffer(&gone));
    gone->Select();
    delete gone; // the selection goes with the buffer
    EXPECT_FALSE(squares->DrawIndexed(4, 12, 2));
    quads->Select();
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
    EXPECT_EQ(device->DrawCalls, 18);
    device.reset();
    EXPECT_FALSE(squares->Get(0) == nullptr || squares->DrawIndexed(4, 12, 2) || quads->Select());
    // Nothing of the device's is left in OpenGL, only the frame's framebuffer and its two renderbuffers.
    glUseProgram(0); // a program in use is deleted only once it is not
    int objects = 0;
    for (GLuint name = 1; name < 64; ++name)
        objects += glIsBuffer(name) + glIsVertexArray(name) + glIsTexture(name) + glIsProgram(name) +
                   glIsShader(name) + 10 * (glIsFramebuffer(name) + glIsRenderbuffer(name));
    EXPECT_EQ(objects, 30);
    EXPECT_TRUE(glGetError() == GL_NO_ERROR) << "an invalid OpenGL call";
}
