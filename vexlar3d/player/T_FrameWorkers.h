#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Writes pictures out on worker threads while the caller draws the next
// ones. A fixed set of picture buffers goes round: the caller takes a free
// one (waiting while all are queued or being written), fills it and queues
// it; a worker hands it to the work function and frees it again. So memory
// stays bounded and a slow writer slows the drawing down instead of piling
// pictures up. With one thread the pictures are written in the order they
// were queued (a pipe to an encoder); with more, in any order (numbered
// files).
class T_FrameWorkers : private T_NonCopyable
{
public:
    struct Frame
    {
        std::int64_t number = 0;
        std::vector<unsigned char> pixels;
    };
    // Writes one picture; false with `error` set stops the writing.
    using Work = std::function<bool(const Frame& frame, std::string& error)>;

    // `buffers` is raised to at least `threads` + 1, each `bytes` large.
    T_FrameWorkers(std::int32_t threads, std::int32_t buffers, std::size_t bytes, Work work);
    // Waits for what is queued.
    ~T_FrameWorkers();

    // A free buffer to fill, or null once a write has failed (or after
    // Finish).
    Frame* Acquire();
    // Queues a buffer from Acquire for writing.
    void Submit(Frame* frame);
    // Gives a buffer from Acquire back unwritten.
    void Release(Frame* frame);
    // Waits until everything queued is written and stops the threads; false
    // with the first error when a write failed.
    bool Finish(std::string& error);

    // One writer per processor, at least one and at most `most`.
    static std::int32_t ThreadsFor(std::int32_t most);

private:
    void Serve();
    // Adds `frame` to `list` (the queue or the free frames) and wakes the waiters.
    void Put(std::deque<Frame*>& list, Frame* frame);

    Work work;
    std::vector<std::unique_ptr<Frame>> frames;
    std::deque<Frame*> free;
    std::deque<Frame*> queued;
    std::vector<std::thread> threads;
    std::mutex mutex;
    std::condition_variable changed;
    std::string failure;
    bool stopping = false;
};
