// "tcmod none" clears the next slot without taking it; past the 32nd
// modifier nothing is stored and the layer reads on.
mods
{
numlayers 2
{
tcmod scroll 1 2
tcmod scroll 3 4
tcmod none
tcmod wobble 5 6
}
{
tcmod rotate 0 0 0
tcmod rotate 1 0 10
tcmod rotate 2 0 20
tcmod rotate 3 0 30
tcmod rotate 4 0 40
tcmod rotate 5 0 50
tcmod rotate 6 0 60
tcmod rotate 7 0 70
tcmod rotate 8 0 80
tcmod rotate 9 0 90
tcmod rotate 10 0 100
tcmod rotate 11 0 110
tcmod rotate 12 0 120
tcmod rotate 13 0 130
tcmod rotate 14 0 140
tcmod rotate 15 0 150
tcmod rotate 16 0 160
tcmod rotate 17 0 170
tcmod rotate 18 0 180
tcmod rotate 19 0 190
tcmod rotate 20 0 200
tcmod rotate 21 0 210
tcmod rotate 22 0 220
tcmod rotate 23 0 230
tcmod rotate 24 0 240
tcmod rotate 25 0 250
tcmod rotate 26 0 260
tcmod rotate 27 0 270
tcmod rotate 28 0 280
tcmod rotate 29 0 290
tcmod rotate 30 0 300
tcmod rotate 31 0 310
tcmod rotate 32 0 320
tcmod rotate 33 0 330
tcmod rotate 34 0 340
tcmod rotate 35 0 350
tcmod rotate 36 0 360
tcmod rotate 37 0 370
tcmod rotate 38 0 380
tcmod rotate 39 0 390
tcmod none
color 0.5 0.5 0.5 0.5
}
}
// Words that are not numbers read as 0; an empty colour argument too.
n
{
numlayers 1
shininess lots
{
color abc 1e999 nan 0.5
}
}
// More blocks than the count: the extra one is read and dropped, and the
// keywords after it still apply.
extra
{
numlayers 1
{
color 0.5 0.5 0.5 1
}
{
map a.tga
color 0 0 0 0
}
cull front
}
// Fewer blocks than the count.
fewer
{
numlayers 3
{
}
}
// A block before any count is dropped; the ones after are kept.
early
{
{
wireframe
}
numlayers 1
{
polygonoffset
}
}
// A negative count is 0; a huge count allocates nothing up front.
negative
{
numlayers -5
{
}
}
zero
{
numlayers 0
}
huge
{
numlayers 2000000000
{
}
{
}
}
// A second count starts the layers again.
twice
{
numlayers 2
{
wireframe
}
numlayers 1
{
}
}
