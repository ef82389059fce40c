#frame header


void main(void)
{
	

#frame footer

}