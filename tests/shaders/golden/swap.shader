swap
{
numlayers 1
{
map a.tga
nomipmaps
animap 9 4 b.tga c.tga