#frame header


void main(void)
{
	f_color = v_color;

#frame footer

}