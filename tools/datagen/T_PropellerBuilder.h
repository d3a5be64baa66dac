#pragma once

#include <vector>

class T_MeshData;

// Builds the demo's propeller in the 3DS frame: three twisted, tapered blades
// (object "blades", material "propeller_blade") round a hub with a rounded
// spinner (object "hub", material "propeller_hub"). The spin axis is the file's
// y axis and the spinner points towards −y, which the model loader turns into
// the engine's z axis facing the camera. About 120 units across.
class T_PropellerBuilder
{
public:
    static std::vector<T_MeshData> Build();

private:
    static T_MeshData BuildHub();
    static T_MeshData BuildBlades();
};
