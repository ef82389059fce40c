#frame header

uniform float amount;

void main(void)
{
	f_color = v_color;

#frame footer

}