// The varyings of basic_vert.glsl and the output of every fragment stage it feeds.
in vec4 v_color;
in vec2 v_texCoords0;
in vec2 v_texCoords1;
in vec2 v_texCoords2;

out vec4 f_color;
