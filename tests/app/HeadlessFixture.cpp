#include "HeadlessFixture.h"

#include <random>

void HeadlessFixture::SetUp() {
    std::random_device random;
    Folder = std::filesystem::temp_directory_path() / ("veltra-gl-" + std::to_string(random()));
    std::filesystem::create_directories(Folder);
    std::string error;
    Context = EglHeadlessContext::Create(Width, Height, &error);
    ASSERT_NE(Context, nullptr) << error;
    Device = std::make_unique<GlRenderer>(*Context, AssetLocator({Folder}));
    Device->Report = [this](const std::string& message) { Reports.push_back(message); };
    ASSERT_TRUE(Device->Startup(Width, Height)) << Device->Error();
    Device->SetClearColor(0xFF000000);
}

void HeadlessFixture::TearDown() {
    if (Context) {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR))
            << "the renderer made an invalid OpenGL call";
    }
    Device.reset();
    Context.reset();
    std::error_code ignored;
    std::filesystem::remove_all(Folder, ignored);
}

HeadlessFixture::Mesh HeadlessFixture::MakeMesh(const std::vector<LitVertex>& vertices,
                                                const std::vector<std::uint16_t>& indices) {
    VertexBuffer* vertexBuffer = nullptr;
    IndexBuffer* indexBuffer = nullptr;
    Device->CreateVertexBuffer(&vertexBuffer);
    Device->CreateIndexBuffer(&indexBuffer);
    Mesh mesh{std::unique_ptr<VertexBuffer>(vertexBuffer), std::unique_ptr<IndexBuffer>(indexBuffer)};
    EXPECT_TRUE(mesh.Vertices->Allocate(static_cast<int>(vertices.size()), sizeof(LitVertex), 0, 0x152));
    for (const LitVertex& vertex : vertices)
        mesh.Vertices->Append(&vertex);
    mesh.Indices->Allocate(static_cast<int>(indices.size()), 2, 0);
    for (std::uint16_t index : indices)
        mesh.Indices->Append(&index);
    return mesh;
}

HeadlessFixture::Mesh HeadlessFixture::MakeQuad(float x0, float y0, float x1, float y1, float z,
                                                std::uint32_t diffuse) {
    return MakeMesh({{x0, y0, z, 0, 0, -1, diffuse, 0.0f, 1.0f},
                     {x1, y0, z, 0, 0, -1, diffuse, 1.0f, 1.0f},
                     {x0, y1, z, 0, 0, -1, diffuse, 0.0f, 0.0f},
                     {x1, y1, z, 0, 0, -1, diffuse, 1.0f, 0.0f}},
                    {0, 1, 2, 2, 1, 3});
}

bool Near(Rgb actual, Rgb expected, int tolerance) {
    return std::abs(actual.R - expected.R) <= tolerance && std::abs(actual.G - expected.G) <= tolerance &&
           std::abs(actual.B - expected.B) <= tolerance;
}

::testing::AssertionResult PixelIs(const Image& image, int x, int y, Rgb expected, int tolerance) {
    const std::uint8_t* pixel = image.Pixel(x, y);
    const Rgb actual{pixel[0], pixel[1], pixel[2]};
    if (Near(actual, expected, tolerance))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << x << ", " << y << ") is " << actual.R << "," << actual.G << "," << actual.B
           << ", expected " << expected.R << "," << expected.G << "," << expected.B;
}
