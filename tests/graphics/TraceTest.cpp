// Records the OpenGL calls of the trace probe with apitrace (EGL tracer, which
// works under SDL's offscreen driver) and checks what the render-state cache
// sends between the two passes of a shader: only glColor4fv when the second
// layer's blend pair, depth function, depth-write and wire-frame flags equal
// the first's, and the blend change when they do not.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/TestScratch.h"

namespace
{
bool HaveApitrace()
{
    return std::system("apitrace help > /dev/null 2>&1") == 0;
}

// The function names of the recorded calls, in order.
std::vector<std::string> TraceProbe(const std::string& routine)
{
    const std::string trace = "probe-" + routine + ".trace";
    const std::string dump = "probe-" + routine + ".txt";
    std::remove(trace.c_str());
    // The tracer is preloaded before the probe; a sanitizer runtime must not
    // insist on coming first, and the tracer's own allocations are not ours.
    const std::string record = "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 apitrace trace --api egl -o " +
                               trace + " " VEXLAR_BINARY_DIR "/bin/graphics_trace_probe " + routine +
                               " > probe-" + routine + ".log 2>&1";
    EXPECT_EQ(std::system(record.c_str()), 0) << record;
    const std::string print = "apitrace dump --color=never --call-nos=no --arg-names=no " + trace + " > " + dump;
    EXPECT_EQ(std::system(print.c_str()), 0) << print;
    std::vector<std::string> calls;
    std::ifstream in(dump);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty() && line[0] != '/')
            calls.push_back(line);
    return calls;
}

std::size_t Find(const std::vector<std::string>& calls, const std::string& start, std::size_t from = 0)
{
    for (std::size_t i = from; i < calls.size(); ++i)
        if (calls[i].rfind(start, 0) == 0)
            return i;
    return calls.size();
}

bool IsDraw(const std::string& call)
{
    return call.rfind("glEnd(", 0) == 0 || call.rfind("glDrawElements(", 0) == 0 ||
           call.rfind("glDrawRangeElements(", 0) == 0;
}

// The render-state calls (blend, depth, depth mask, polygon mode, colour)
// among calls[from, to): the function name, with the capability for
// glEnable/glDisable of blending and depth testing.
std::vector<std::string> StateCalls(const std::vector<std::string>& calls, std::size_t from, std::size_t to)
{
    static const std::set<std::string> stateFunctions = {"glBlendFunc", "glDepthFunc", "glDepthMask",
                                                         "glPolygonMode", "glColor4fv"};
    std::vector<std::string> out;
    for (std::size_t i = from; i < to && i < calls.size(); ++i)
    {
        const std::string& call = calls[i];
        const std::string name = call.substr(0, call.find('('));
        if (stateFunctions.count(name) != 0)
            out.push_back(name);
        else if ((name == "glEnable" || name == "glDisable") &&
                 (call == name + "(GL_BLEND)" || call == name + "(GL_DEPTH_TEST)"))
            out.push_back(call);
    }
    return out;
}

void CheckSequence(const std::string& routine)
{
    const auto calls = TraceProbe(routine);
    ASSERT_FALSE(calls.empty());
    const std::size_t start = Find(calls, "glLineWidth(3)");
    const std::size_t boundary = Find(calls, "glLineWidth(4)", start);
    ASSERT_LT(boundary, calls.size());

    auto drawsIn = [&](std::size_t from, std::size_t to) {
        std::vector<std::size_t> draws;
        for (std::size_t i = from; i < to; ++i)
            if (IsDraw(calls[i]))
                draws.push_back(i);
        return draws;
    };
    // Shader "same": two draws, the state of the first pass in full, only
    // the colour for the second.
    auto draws = drawsIn(start, boundary);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(StateCalls(calls, start, draws[0]),
              (std::vector<std::string>{"glEnable(GL_BLEND)", "glBlendFunc", "glDepthFunc", "glDepthMask",
                                        "glColor4fv"}));
    EXPECT_EQ(StateCalls(calls, draws[0] + 1, draws[1]), (std::vector<std::string>{"glColor4fv"}));

    // Shader "differ": the first pass matches the cache (colour only), the
    // second changes the blend pair and sends it.
    draws = drawsIn(boundary, calls.size());
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(StateCalls(calls, boundary, draws[0]), (std::vector<std::string>{"glColor4fv"}));
    EXPECT_EQ(StateCalls(calls, draws[0] + 1, draws[1]), (std::vector<std::string>{"glBlendFunc", "glColor4fv"}));
}
} // namespace

TEST(CallTrace, SecondOfTwoAlikeLayersSendsOnlyItsColourInBothDrawRoutines)
{
    if (!HaveApitrace())
        GTEST_SKIP() << "apitrace is not installed";
    EnterScratchFolder();
    for (const char* routine : {"arrays", "immediate"})
    {
        SCOPED_TRACE(routine);
        CheckSequence(routine);
    }
}
