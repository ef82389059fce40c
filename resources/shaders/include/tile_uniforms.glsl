// Where the tile being drawn lies on the canvas, and the painted rectangle.
uniform vec2 f_texturePos;
uniform float f_textureSize = 512.0;
uniform float f_textureBorder = 6.0;
uniform vec2 f_paintedRectPos;
uniform float f_paintedRectWidth;
uniform float f_paintedRectHeight;
