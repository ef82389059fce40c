#frame header

uniform int count;
uniform bool inverted;
uniform float amount;
uniform vec4 tint;
uniform int mode;
uniform sampler2D paper;
uniform sampler2D grain;
uniform sampler2D noise;
uniform sampler2D stencil;
vec4 shade(vec4 c)
{
return inverted ? vec4(c.a - c.rgb, c.a) : c;
}

void main(void)
{
	vec4 samples = texture(paper, v_texCoords0) + texture(grain, v_texCoords0)
	+ texture(noise, v_texCoords0) + texture(stencil, v_texCoords0);
	
	f_color = shade(mix(v_color, tint, amount) * samples / float(count + mode));
	

#frame footer

}