// every shader keyword and every mode word
lit
{
numlayers 4
cull front
ambient 0.1 0.2 0.3 0.4
diffuse 0.5 0.25 0.125 1
specular 1 1e-5 -2.5 1 text after the arguments is ignored
emission 0 0.5 0 1
shininess 32
// a comment where a keyword may stand
{
map a.tga
blendfunc gl_one one_minus_dst_color
depthfunc none
nodepthwrite
polygonoffset
tcgen environment
texfunc decal
tcmod scroll 0 0.1
tcmod scale 2 3
tcmod rotate 0.5 0.5 90
color 0.5 0.25 1 0.75
wireframe
}
{
nomipmaps
clampmap b.tga
depthfunc always
tcgen base
texfunc blend
}
{
animap 4 2 a.tga b.tga c.tga a.tga
depthfunc equal
texfunc add
}
{
clampanimap 2 0.5 a.tga b.tga
depthfunc lequal
texfunc modulate
}
}
culled
{
cull back
numlayers 2
{
dynamap plasma 32 16
depthfunc sideways
tcgen sphere
texfunc multiply
}
{
clampdynamap clamped_dyn 8 8
}
}
unculled
{
cull none
cull nonsense
}
q"uote\
{
}
