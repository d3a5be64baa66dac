// Records the OpenGL calls of the trace probe with apitrace (EGL tracer, which
// works under SDL's offscreen driver). With vertex arrays, every call from the
// server's initialisation to its shut-down must match golden/probe-trace.txt
// whole (each draw with its vertex data as one line "draw"); immediate mode
// must send the same calls but for the client arrays.
// VEXLAR_UPDATE_GOLDEN=1 rewrites the golden file from the run.
#include <cctype>
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
// The line with every hexadecimal address ("0x...") written "fence".
std::string WithoutAddresses(const std::string& line)
{
    std::string out;
    for (std::size_t i = 0; i < line.size();)
    {
        if (line.compare(i, 2, "0x") == 0)
        {
            out += "fence";
            i += 2;
            while (i < line.size() && std::isxdigit(static_cast<unsigned char>(line[i])))
                ++i;
        }
        else
            out += line[i++];
    }
    return out;
}

// The probe's calls from the first of the server's initialisation on, one a
// line, without the window system's calls; the frame fences' addresses read
// "fence" and a wait for one has no result shown (both change from run to run).
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
    for (std::string line; std::getline(in, line);)
    {
        if (calls.empty() && line.rfind("glEnableClientState(", 0) != 0)
            continue;
        if (line.rfind("glClientWaitSync(", 0) == 0)
            line.erase(line.find(") = ") + 1);
        if (line.rfind("gl", 0) == 0)
            calls.push_back(WithoutAddresses(line));
    }
    return calls;
}

// Each draw as one line "draw", without the calls that only carry its
// vertices; without the client-array switches too unless kept.
std::vector<std::string> Condense(const std::vector<std::string>& calls, bool keepClientArrays)
{
    const std::set<std::string> draws = {"glBegin", "glDrawElements", "glDrawRangeElements"};
    const std::set<std::string> vertices = {"glEnd",       "glVertexPointer", "glTexCoordPointer", "glNormalPointer",
                                            "glColorPointer", "glVertex3fv",  "glTexCoord2fv",     "glNormal3fv"};
    const std::set<std::string> clientArrays = {"glEnableClientState", "glDisableClientState"};
    std::vector<std::string> out;
    for (const std::string& call : calls)
    {
        const std::string name = call.substr(0, call.find('('));
        if (draws.count(name) != 0)
            out.push_back("draw");
        else if (vertices.count(name) == 0 && (keepClientArrays || clientArrays.count(name) == 0))
            out.push_back(call);
    }
    return out;
}
} // namespace

TEST(CallTrace, ProbeSendsTheGoldenCallsInBothDrawRoutines)
{
    if (std::system("apitrace help > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "apitrace is not installed";
    EnterScratchFolder();
    const auto arrays = TraceProbe("arrays");
    std::string text;
    for (const std::string& call : Condense(arrays, true))
        text += call + "\n";
    const std::string golden = VEXLAR_SOURCE_DIR "/tests/graphics/golden/probe-trace.txt";
    if (std::getenv("VEXLAR_UPDATE_GOLDEN") != nullptr)
        std::ofstream(golden) << text;
    EXPECT_EQ(text, ReadFile(golden));
    EXPECT_EQ(Condense(TraceProbe("immediate"), false), Condense(arrays, false));
}
