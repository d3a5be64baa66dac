#pragma once

#include <cstdint>

// Cube corners (x, y, z): 0 (0,0,0), 1 (1,0,0), 2 (1,0,1), 3 (0,0,1),
// 4 (0,1,0), 5 (1,1,0), 6 (1,1,1), 7 (0,1,1).
inline constexpr std::int32_t cubeCorners[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1},
                                                   {0, 1, 0}, {1, 1, 0}, {1, 1, 1}, {0, 1, 1}};

// Cube edges as (first, second) corner; the first has the lower coordinate
// along the edge.
inline constexpr std::int32_t cubeEdges[12][2] = {{0, 1}, {1, 2}, {3, 2}, {0, 3}, {4, 5}, {5, 6},
                                                  {7, 6}, {4, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};

// Per cube case: triangle count, then up to five triangles as edge numbers,
// then -1 padding.
extern const std::int8_t marchingCubesTriangles[256][16];
