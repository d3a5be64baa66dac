#include "vexlar3d/player/T_FrameWorkers.h"

#include <algorithm>

T_FrameWorkers::T_FrameWorkers(std::int32_t threads, std::int32_t buffers, std::size_t bytes, Work work)
    : work(std::move(work))
{
    const std::int32_t workers = std::max(threads, 1);
    const std::int32_t count = std::max(buffers, workers + 1);
    for (std::int32_t i = 0; i < count; ++i)
    {
        frames.push_back(std::make_unique<Frame>());
        frames.back()->pixels.resize(bytes);
        free.push_back(frames.back().get());
    }
    for (std::int32_t i = 0; i < workers; ++i)
        this->threads.emplace_back([this] { Serve(); });
}

T_FrameWorkers::~T_FrameWorkers()
{
    std::string ignored;
    Finish(ignored);
}

std::int32_t T_FrameWorkers::ThreadsFor(std::int32_t most)
{
    const auto cores = static_cast<std::int32_t>(std::thread::hardware_concurrency());
    return std::clamp(cores, 1, std::max(most, 1));
}

T_FrameWorkers::Frame* T_FrameWorkers::Acquire()
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return !free.empty() || !failure.empty() || stopping; });
    if (!failure.empty() || stopping)
        return nullptr;
    Frame* frame = free.back();
    free.pop_back();
    return frame;
}

void T_FrameWorkers::Submit(Frame* frame)
{
    Put(queued, frame);
}

void T_FrameWorkers::Release(Frame* frame)
{
    Put(free, frame);
}

void T_FrameWorkers::Put(std::deque<Frame*>& list, Frame* frame)
{
    if (frame == nullptr)
        return;
    {
        std::lock_guard<std::mutex> lock(mutex);
        list.push_back(frame);
    }
    changed.notify_all();
}

void T_FrameWorkers::Serve()
{
    std::unique_lock<std::mutex> lock(mutex);
    for (;;)
    {
        changed.wait(lock, [this] { return !queued.empty() || stopping; });
        if (queued.empty())
            return; // stopping with nothing left
        Frame* frame = queued.front();
        queued.pop_front();
        // After a failure the rest is dropped unwritten.
        if (failure.empty())
        {
            lock.unlock();
            std::string error;
            const bool written = work(*frame, error);
            lock.lock();
            if (!written && failure.empty())
                failure = error.empty() ? "a picture could not be written" : error;
        }
        free.push_back(frame);
        changed.notify_all();
    }
}

bool T_FrameWorkers::Finish(std::string& error)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    for (std::thread& thread : threads)
        if (thread.joinable())
            thread.join();
    std::lock_guard<std::mutex> lock(mutex);
    if (failure.empty())
        return true;
    error = failure;
    return false;
}
