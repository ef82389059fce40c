// luminance of a colour
float luminance(vec3 c)
{
	return dot(c, vec3(0.2126, 0.7152, 0.0722));
}
