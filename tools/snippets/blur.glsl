// 3x3 box blur of the current layer
vec4 sum = vec4(0.0);
vec2 texel = 1.0 / vec2(f_textureSize);
for (int y = -1; y <= 1; ++y)
	for (int x = -1; x <= 1; ++x)
		sum += texture(f_currentLayerTexture, v_texCoords0 + vec2(x, y) * texel);
f_color = sum / 9.0;
