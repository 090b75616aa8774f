#include "app/gl/ShaderProgram.h"

#include <vector>

namespace {

constexpr const char* VertexSource = R"(#version 330 core
layout(location = 0) in vec3 Position;
layout(location = 2) in vec4 Diffuse;
layout(location = 3) in vec2 TexCoord;
uniform mat4 ViewProjection;
out vec4 Colour;
out vec2 Uv;
void main() {
    gl_Position = ViewProjection * vec4(Position, 1.0);
    Colour = Diffuse;
    Uv = TexCoord;
}
)";

constexpr const char* FragmentSource = R"(#version 330 core
in vec4 Colour;
in vec2 Uv;
uniform sampler2D Texture;
uniform bool Textured;
out vec4 FragColour;
void main() {
    vec3 colour = Colour.rgb;
    if (Textured)
        colour *= texture(Texture, Uv).rgb;
    FragColour = vec4(colour, 1.0);
}
)";

std::string InfoLog(GLuint object, bool isProgram) {
    GLint length = 0;
    if (isProgram)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    if (isProgram)
        glGetProgramInfoLog(object, length, nullptr, text.data());
    else
        glGetShaderInfoLog(object, length, nullptr, text.data());
    return text.data();
}

GLuint Compile(GLenum stage, const char* source, std::string* error) {
    GLuint shader = glCreateShader(stage);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        *error = "shader compilation failed: " + InfoLog(shader, false);
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

ShaderProgram::~ShaderProgram() {
    if (Program != 0)
        glDeleteProgram(Program);
}

bool ShaderProgram::Build(std::string* error) {
    std::string ignored;
    std::string& message = error != nullptr ? *error : ignored;
    GLuint vertex = Compile(GL_VERTEX_SHADER, VertexSource, &message);
    GLuint fragment = vertex != 0 ? Compile(GL_FRAGMENT_SHADER, FragmentSource, &message) : 0;
    if (fragment == 0) {
        if (vertex != 0)
            glDeleteShader(vertex);
        return false;
    }
    Program = glCreateProgram();
    glAttachShader(Program, vertex);
    glAttachShader(Program, fragment);
    glLinkProgram(Program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(Program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        message = "shader link failed: " + InfoLog(Program, true);
        glDeleteProgram(Program);
        Program = 0;
        return false;
    }
    ViewProjectionUniform = glGetUniformLocation(Program, "ViewProjection");
    TexturedUniform = glGetUniformLocation(Program, "Textured");
    TextureUniform = glGetUniformLocation(Program, "Texture");
    glUseProgram(Program);
    glUniform1i(TextureUniform, 0); // texture unit 0
    return true;
}

void ShaderProgram::Use() const {
    glUseProgram(Program);
}

void ShaderProgram::SetViewProjection(const float* matrix) const {
    glUniformMatrix4fv(ViewProjectionUniform, 1, GL_FALSE, matrix);
}

void ShaderProgram::SetTextured(bool textured) const {
    glUniform1i(TexturedUniform, textured ? 1 : 0);
}
