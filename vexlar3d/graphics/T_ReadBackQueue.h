#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <cstdint>
#include <functional>
#include <vector>

class T_GfxServer;

// Reads the picture back without stalling the renderer: Read has OpenGL copy
// the finished picture into one of two pixel-buffer objects and returns;
// the copy is taken out one picture later (or by Drain), by when the
// renderer has long completed it. The pixels are those the gfx server's
// ReadPixels gives for an image of the same size (8-bit RGBA, bottom row
// first). Without pixel-buffer objects, or when the picture is not the
// image's size, every picture is read at once through ReadPixels.
//
// Lives inside the rendering context: made after the gfx server's Init and
// gone before its Shutdown.
class T_ReadBackQueue : private T_NonCopyable
{
public:
    // Called with each picture in the order read, with the tag given to Read;
    // null pixels when a picture could not be read.
    using Deliver = std::function<void(std::int64_t tag, const unsigned char* rgba)>;

    T_ReadBackQueue(T_GfxServer& server, std::int32_t width, std::int32_t height);
    ~T_ReadBackQueue();

    // Starts reading the current picture; delivers the one read before, if
    // any (or this one, when reading synchronously).
    void Read(std::int64_t tag, const Deliver& deliver);
    // Delivers the picture still in flight.
    void Drain(const Deliver& deliver);

    // True when the pictures go through pixel-buffer objects.
    bool IsAsynchronous() const { return buffers[0] != 0; }

private:
    void Take(std::int32_t slot, const Deliver& deliver);

    T_GfxServer& server;
    std::int32_t width;
    std::int32_t height;
    std::uint32_t buffers[2] = {0, 0};
    std::int64_t tags[2] = {0, 0};
    bool pending[2] = {false, false};
    std::int32_t next = 0;
    std::vector<unsigned char> direct; // the synchronous path's picture
};
