#frame header


void main(void)
{
	f_color = texture(f_currentLayerTexture, v_texCoords0.st) * f_opacity;

#frame footer

}