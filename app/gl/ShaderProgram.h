#pragma once
// The one program every draw uses: positions through the camera, the vertex's diffuse colour
// interpolated across each triangle (the engine lights the terrain by writing these colours),
// times the bound texture when there is one.

#include <epoxy/gl.h>

#include <string>

class ShaderProgram {
public:
    // Attribute locations, by vertex component.
    static constexpr GLuint PositionLocation = 0;
    static constexpr GLuint NormalLocation = 1;
    static constexpr GLuint DiffuseLocation = 2;
    static constexpr GLuint TexCoordLocation = 3;

    ShaderProgram() = default;
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;
    ~ShaderProgram();

    // Compiles and links; false with the driver's message in *error.
    bool Build(std::string* error);
    void Use() const;
    void SetViewProjection(const float* matrix) const;
    void SetTextured(bool textured) const;

private:
    GLuint Program = 0;
    GLint ViewProjectionUniform = -1;
    GLint TexturedUniform = -1;
    GLint TextureUniform = -1;
};
