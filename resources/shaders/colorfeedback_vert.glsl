#include "basic_vert.glsl"
