// The vertex layout every vertex buffer of the system is filled with, and
// the varyings that carry it on.
in vec2 vertexPosition;
in vec4 vertexColor;
in mat4 modelMatrix;
in vec2 textureCoordinates0;
in vec2 textureCoordinates1;
in vec2 textureCoordinates2;

uniform mat4 mvp;

out vec4 v_color;
out vec2 v_texCoords0;
out vec2 v_texCoords1;
out vec2 v_texCoords2;

void passVertex(void)
{
    v_color = vertexColor;
    v_texCoords0 = textureCoordinates0;
    v_texCoords1 = textureCoordinates1;
    v_texCoords2 = textureCoordinates2;
    gl_Position = mvp * vec4(vertexPosition, 0.0, 1.0);
}
