// One of each mistake the engine's parse passes over in silence.
first
{
  numlayers 1
  shine 4
  map a.tga
  {
    map missing.tga
    blendfunc gl_one gl_bogus
    tcmod scroll 0.5 fast
    colour 1 1 1 1
  }
  {
    map b.tga
  }
}
second
{
  numlayers two
  cull
}
third
{
  numlayers 1
  {
    animap 2 x c.tga
    texfunc }
third_unclosed
{
