#pragma once

#include "demo/T_PixelGenerator.h"

#include <array>
#include <cstdint>
#include <vector>

class T_Texture;

// The fire: a heat field one column wider on each side than the texture and
// three rows taller, fed from a flickering seed line along the bottom, carried
// upwards one row per step, blurred by a four-neighbour average and cooled by
// a cooling map (taken from the texture's own image) that two slowly moving
// flow fields swirl around. Each step is mapped through a fire palette into
// the texture's pixels. At most one step runs per 0.01 s of demo time.
//
// The generator attaches itself to a texture with 32-bit pixels (kind 2,
// generator = this). Any other texture (the default texture, a record
// without pixels, other pixel formats, absurd sizes) is left alone: the
// generator logs one line and its Update does nothing. The buffers go with
// the generator; the texture is neither detached nor released (it may already
// be gone when the generator is destroyed).
class T_FireTexture : public T_PixelGenerator
{
public:
    explicit T_FireTexture(const T_GeneratorTarget& target);

    // One simulation step, at most one per 0.01 s of demo time.
    void Update(float time) override;
    // Steps again from `time` on: the heat field burns on as it is, so a
    // move back never freezes the fire until the old time comes round.
    void Rewind(float time) override;

    // The steps of Update that work on the seed line alone, in Update's order.
    // They draw from CrtRand() exactly as Update does.
    void Sparks();
    void Flicker();
    void SmoothSeed();

    // Largest texture side the generator animates: the flow fields alone take
    // 32 bytes per field cell.
    static constexpr std::uint32_t maxSide = 2048;

    // Field (x, y) is at y * W2 + x; texture pixel (x, y) shows field cell
    // (x + 1, y + 2).
    std::vector<std::uint8_t> heatA;
    std::vector<std::uint8_t> heatB;
    std::vector<std::uint8_t> seed;
    // 256 colours, bytes red, green, blue, alpha in memory order.
    std::array<std::uint32_t, 256> palette{};
    std::vector<std::uint8_t> warped;
    std::uint32_t W = 0;
    std::uint32_t H = 0;
    std::uint32_t W2 = 0;
    std::uint32_t H3 = 0;
    std::uint8_t* cur = nullptr;
    std::uint8_t* next = nullptr;
    // Displacements in sixteenths of a cell, 2 * W2 columns by 2 * H3 rows.
    std::vector<std::int32_t> flowX;
    std::vector<std::int32_t> flowY;
    // Values 0 to 12, fixed after construction.
    std::vector<std::uint8_t> cooling;

    // Demo time of the last step, kept per generator (each fire keeps its own
    // pace); valid once hasUpdated is set.
    float lastUpdateTime = 0.0f;
    bool hasUpdated = false;

    // The record the generator was given (may be the default texture or null).
    T_Texture* texture = nullptr;

    // Upper-left cells of the two flow-field windows for a given time.
    struct Windows
    {
        std::uint32_t xRow, xColumn, yRow, yColumn;
    };
    Windows WindowsAt(float time) const;

    // The update's inner loops run on AVX2 where the processor has it
    // (decided at construction); tests switch it off to check the portable
    // loops too. Both give the same bytes.
    bool useAvx2 = false;
    static bool HasAvx2();

    // Builds the fire palette into `out` (exposed for tests and tools).
    static void BuildPalette(std::array<std::uint32_t, 256>& out);

private:
    bool Allocate();
    void BuildCooling();
    void BuildFlowFields();
    struct RippleTables;
    // Rows firstRow up to endRow of both flow fields.
    void BuildFlowRows(std::uint32_t firstRow, std::uint32_t endRow, const RippleTables& tables);
    void BuildFastTables();

    // Swirl, burn and colour in one pass over the rows.
    void SwirlBurnColour(const Windows& windows, float time);

    // The cooling map with one zero cell of margin all round, each cell
    // holding its 2x2 neighbourhood (c(x,y), c(x+1,y), c(x,y+1), c(x+1,y+1))
    // as four bytes, so a swirled lookup is a single load.
    std::vector<std::uint32_t> coolingQuads;
    // cooled[w * 256 + a]: the new heat for neighbour average a and swirled
    // cooling w at the current step's cooling factor.
    std::array<std::uint8_t, 16 * 256> cooled{};
};
