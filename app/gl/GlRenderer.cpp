#include "app/gl/GlRenderer.h"

#include "app/gl/GlIndexBuffer.h"
#include "app/gl/GlVertexBuffer.h"
#include "app/gl/VertexFormat.h"
#include "app/image/BmpFile.h"
#include "app/image/PngFile.h"

#include <glm/gtc/type_ptr.hpp>

#include <cstdio>

namespace {

// Primitive type codes the engine passes, with their OpenGL modes and index counts.
constexpr int PointList = 1;
constexpr int LineList = 2;
constexpr int LineStrip = 3;
constexpr int TriangleList = 4;
constexpr int TriangleStrip = 5;
constexpr int TriangleFan = 6;

bool PrimitiveMode(int primitiveType, int primitiveCount, GLenum* mode, long long* indexCount) {
    const long long count = primitiveCount;
    switch (primitiveType) {
    case PointList:
        *mode = GL_POINTS;
        *indexCount = count;
        return true;
    case LineList:
        *mode = GL_LINES;
        *indexCount = count * 2;
        return true;
    case LineStrip:
        *mode = GL_LINE_STRIP;
        *indexCount = count + 1;
        return true;
    case TriangleList:
        *mode = GL_TRIANGLES;
        *indexCount = count * 3;
        return true;
    case TriangleStrip:
        *mode = GL_TRIANGLE_STRIP;
        *indexCount = count + 2;
        return true;
    case TriangleFan:
        *mode = GL_TRIANGLE_FAN;
        *indexCount = count + 2;
        return true;
    default:
        return false;
    }
}

void Bind(GLuint location, const VertexComponent& component, GLint size, GLenum type, GLboolean normalised,
          GLsizei stride) {
    if (!component.Present) {
        glDisableVertexAttribArray(location);
        return;
    }
    glEnableVertexAttribArray(location);
    glVertexAttribPointer(location, size, type, normalised, stride,
                          reinterpret_cast<const void*>(static_cast<std::uintptr_t>(component.Offset)));
}

} // namespace

GlRenderer::GlRenderer(GlContext& context, AssetLocator assets)
    : Report([](const std::string& message) { std::fprintf(stderr, "veltra: %s\n", message.c_str()); }),
      Context(context), Assets(std::move(assets)) {}

GlRenderer::~GlRenderer() {
    // Buffers the engine still holds stop drawing; their memory stays theirs to free.
    for (GlVertexBuffer* buffer : VertexBuffers)
        buffer->Detach();
    for (GlIndexBuffer* buffer : IndexBuffers)
        buffer->Detach();
    for (const auto& [handle, texture] : Textures)
        glDeleteTextures(1, &texture);
}

bool GlRenderer::Startup(int /*width*/, int /*height*/) {
    if (!Program.Build(&LastError))
        return false;
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDisable(GL_CULL_FACE); // strips are drawn from both sides, whatever their winding
    glDisable(GL_BLEND);     // the lighting writes its grey level into alpha too; frames are opaque
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    return true;
}

bool GlRenderer::BeginScene(int /*flags*/) {
    glBindFramebuffer(GL_FRAMEBUFFER, Context.TargetFramebuffer());
    Context.DrawableSize(&ViewportWidth, &ViewportHeight);
    glViewport(0, 0, ViewportWidth, ViewportHeight);
    // ClearColor is ARGB; the alpha byte does not matter for an opaque frame.
    glClearColor(static_cast<float>((ClearColor >> 16) & 0xFF) / 255.0f,
                 static_cast<float>((ClearColor >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(ClearColor & 0xFF) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}

bool GlRenderer::EndScene(int /*flags*/) {
    if (CaptureNextFrame) {
        Capture();
        CaptureNextFrame = false;
    }
    Context.Present();
    TrianglesUnflushed = 0;
    ++FrameCount;
    return true;
}

void GlRenderer::Capture() {
    if (ViewportWidth < 1 || ViewportHeight < 1)
        return;
    Captured = Image(ViewportWidth, ViewportHeight);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, Context.TargetFramebuffer());
    glReadPixels(0, 0, ViewportWidth, ViewportHeight, GL_RGBA, GL_UNSIGNED_BYTE, Captured.Rgba.data());
    Captured.FlipRows();
}

bool GlRenderer::SaveScreenshot(const char* fileName) {
    return fileName != nullptr && !Captured.Empty() && png::Write(fileName, Captured);
}

std::uint32_t GlRenderer::LoadTexture(const char* fileName) {
    if (fileName == nullptr || *fileName == '\0')
        return 0;
    const std::optional<std::filesystem::path> path = Assets.Find(fileName);
    if (!path) {
        Report(std::string(fileName) + " not found in " + Assets.Describe() + "; drawing without it");
        return 0;
    }
    std::string reason;
    const std::optional<Image> image = bmp::Read(*path, &reason);
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (image && (image->Width > largest || image->Height > largest))
        reason = "larger than this OpenGL's textures";
    if (!image || !reason.empty()) {
        Report(path->string() + " not loaded: " + reason + "; drawing without it");
        return 0;
    }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    // Rows go up top row first, so texture coordinate v = 0 is the picture's top edge.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image->Width, image->Height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image->Rgba.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);
    const std::uint32_t handle = NextTexture++;
    Textures[handle] = texture;
    return handle;
}

bool GlRenderer::SetTexture(std::uint32_t texture, int /*stage*/) {
    // An unknown handle draws untextured rather than with whatever was bound before.
    BoundTexture = Textures.count(texture) != 0 ? texture : 0;
    return BoundTexture == texture;
}

bool GlRenderer::ReleaseTexture(std::uint32_t texture) {
    auto found = Textures.find(texture);
    if (found == Textures.end())
        return false;
    glDeleteTextures(1, &found->second);
    Textures.erase(found);
    if (BoundTexture == texture)
        BoundTexture = 0;
    return true;
}

bool GlRenderer::CreateVertexBuffer(VertexBuffer** out) {
    if (out == nullptr)
        return false;
    *out = new GlVertexBuffer(this);
    return true;
}

bool GlRenderer::CreateIndexBuffer(IndexBuffer** out) {
    if (out == nullptr)
        return false;
    *out = new GlIndexBuffer(this);
    return true;
}

bool GlRenderer::SetCamera(float tx, float ty, float tz, float yaw, float pitch, float roll) {
    View.Set(tx, ty, tz, yaw, pitch, roll);
    return true;
}

void GlRenderer::Forget(GlIndexBuffer* buffer) {
    IndexBuffers.erase(buffer);
    if (SelectedIndices == buffer)
        SelectedIndices = nullptr;
}

bool GlRenderer::BindVertexFormat(GlVertexBuffer& vertices) {
    const VertexFormat format = VertexFormat::FromCode(vertices.FormatCode);
    if (!format.Valid || format.Stride != vertices.ElementSize)
        return false;
    const auto stride = static_cast<GLsizei>(format.Stride);
    Bind(ShaderProgram::PositionLocation, format.Position, 3, GL_FLOAT, GL_FALSE, stride);
    Bind(ShaderProgram::NormalLocation, format.Normal, 3, GL_FLOAT, GL_FALSE, stride);
    // A packed ARGB word is the bytes B, G, R, A in memory: GL_BGRA reads them back as RGBA.
    Bind(ShaderProgram::DiffuseLocation, format.Diffuse, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride);
    Bind(ShaderProgram::TexCoordLocation, format.TexCoord, 2, GL_FLOAT, GL_FALSE, stride);
    // Components a format lacks read these constants: white, and the texture's corner.
    if (!format.Diffuse.Present)
        glVertexAttrib4f(ShaderProgram::DiffuseLocation, 1.0f, 1.0f, 1.0f, 1.0f);
    if (!format.TexCoord.Present)
        glVertexAttrib2f(ShaderProgram::TexCoordLocation, 0.0f, 0.0f);
    return true;
}

bool GlRenderer::DrawIndexed(GlVertexBuffer& vertices, int primitiveType, int primitiveCount) {
    GLenum mode = GL_TRIANGLES;
    long long indexCount = 0;
    if (SelectedIndices == nullptr || primitiveCount <= 0 ||
        !PrimitiveMode(primitiveType, primitiveCount, &mode, &indexCount))
        return false;
    // Never read past either buffer: too many indices, or an index past the last vertex.
    if (indexCount > SelectedIndices->AllocatedCount || vertices.AllocatedCount <= 0)
        return false;
    const int largest = SelectedIndices->LargestIndex(static_cast<int>(indexCount));
    if (largest >= vertices.AllocatedCount)
        return false;
    if (!vertices.UploadReach(largest + 1) || !SelectedIndices->Upload())
        return false;

    Program.Use();
    glBindVertexArray(vertices.VertexArray());
    glBindBuffer(GL_ARRAY_BUFFER, vertices.BufferHandle());
    if (!BindVertexFormat(vertices)) {
        glBindVertexArray(0);
        return false;
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, SelectedIndices->Handle());

    const float aspect =
        static_cast<float>(ViewportWidth) / static_cast<float>(ViewportHeight > 0 ? ViewportHeight : 1);
    const glm::mat4 viewProjection = View.ViewProjection(aspect);
    Program.SetViewProjection(glm::value_ptr(viewProjection));
    Program.SetTextured(BoundTexture != 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, BoundTexture != 0 ? Textures[BoundTexture] : 0);

    glDrawElements(mode, static_cast<GLsizei>(indexCount), GL_UNSIGNED_SHORT, nullptr);
    glBindVertexArray(0);
    ++DrawCalls;
    // A software renderer rasterises on its own threads only what has been flushed, and until then
    // one thread takes the draws: handing over the frame in parts keeps both busy.
    TrianglesUnflushed += primitiveCount;
    if (TrianglesUnflushed >= FlushTriangles) {
        glFlush();
        TrianglesUnflushed = 0;
    }
    return true;
}
