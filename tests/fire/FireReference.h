#pragma once

class T_FireTexture;

// The fire step written out plainly, cell by cell and step by step, working
// on a generator's public state. The production Update must give the same
// bytes and draw the same random numbers.
void FireReferenceUpdate(T_FireTexture& fire, float time);
