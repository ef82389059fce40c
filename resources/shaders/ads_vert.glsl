#include "shading_vert.glsl"
