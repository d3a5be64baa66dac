// a script may begin with comments
bare
eaten_by_the_brace_check
next
{
frobnicate 1 2 3
numlayers 1
{
sparkle on
// comment inside a layer
map
}
}
// A statement short of its last argument takes the closing brace for it,
// and that brace ends the block: the layer's here, the shader's below.
short_layer
{
numlayers 1
{
map a.tga
blendfunc one
}
}
short_shader
{
numlayers 1
{
tcgen environment
}
cull
}
after
{
cull front
}
// only comments follow the last shader
