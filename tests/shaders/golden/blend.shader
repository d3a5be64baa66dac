// Source and destination words of each code, with and without "gl_": the
// layer of shader sN (and sNgl_) has both factors N + 1.
s0gl_
{
numlayers 1
{
blendfunc gl_zero gl_zero
}
}
s0
{
numlayers 1
{
blendfunc zero zero
}
}
s1gl_
{
numlayers 1
{
blendfunc gl_one gl_one
}
}
s1
{
numlayers 1
{
blendfunc one one
}
}
s2gl_
{
numlayers 1
{
blendfunc gl_src_alpha gl_src_color
}
}
s2
{
numlayers 1
{
blendfunc src_alpha src_color
}
}
s3gl_
{
numlayers 1
{
blendfunc gl_one_minus_src_alpha gl_one_minus_dst_color
}
}
s3
{
numlayers 1
{
blendfunc one_minus_src_alpha one_minus_dst_color
}
}
s4gl_
{
numlayers 1
{
blendfunc gl_dst_color gl_src_alpha
}
}
s4
{
numlayers 1
{
blendfunc dst_color src_alpha
}
}
s5gl_
{
numlayers 1
{
blendfunc gl_one_minus_dst_color gl_one_minus_src_alpha
}
}
s5
{
numlayers 1
{
blendfunc one_minus_dst_color one_minus_src_alpha
}
}
// Words of the other column, capitals and strangers turn blending off.
off
{
numlayers 3
{
blendfunc src_color one_minus_dst_alpha
}
{
blendfunc GL_ONE Zero
}
{
blendfunc gl_ gl_gl_one
}
}
