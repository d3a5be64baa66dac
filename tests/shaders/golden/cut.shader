cut
{
numlayers 1
{
color 0.5 0.5