// The demo as a user starts it on an X server (Xvfb at 1280 x 1024) through
// GLX: full screen with a window manager (openbox) and without one, windowed
// at two sizes. Each run is compared with what the engine itself reads back:
// a screenshot of the root window must show the whole picture, scaled with
// its aspect kept and matching frames of an offline capture of the same
// timeline, and black everywhere else it owns. Escape, sent with xdotool,
// ends every run with status 0; the log holds the GLX extension list.
#include "core/TestScratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace
{
using Clock = std::chrono::steady_clock;

constexpr int screenWidth = 1280;
constexpr int screenHeight = 1024;
constexpr int gridWidth = 64; // the coarse picture frames are compared at
constexpr int gridHeight = 48;

// A rectangle in screen pixels, origin at the top left.
struct Rect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

struct Image
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb; // top row first
    const unsigned char* At(int x, int y) const { return &rgb[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

// Raw 8-bit RGB as ImageMagick writes it.
bool ReadRgb(const fs::path& path, int width, int height, Image& image)
{
    const std::string bytes = ReadFile(path);
    if (bytes.size() != static_cast<std::size_t>(width) * height * 3)
        return false;
    image.width = width;
    image.height = height;
    image.rgb.assign(bytes.begin(), bytes.end());
    return true;
}

template <class Done>
bool PollUntil(Clock::time_point deadline, Done done)
{
    for (;;)
    {
        if (done())
            return true;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

Clock::time_point In(double seconds)
{
    return Clock::now() + std::chrono::milliseconds(static_cast<long>(seconds * 1000));
}

// A program started in the background through the shell and ended by its
// process id. `command` is one simple command (assignments, program,
// arguments, redirections); its exit status lands in <name>.status.
class Background
{
public:
    explicit Background(std::string label) : name(std::move(label)) {}
    ~Background() { Stop(); }
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    void Start(const std::string& command)
    {
        fs::remove(name + ".pid");
        fs::remove(name + ".status");
        Shell("( " + command + " & echo $! >" + name + ".pid; wait $!; echo $? >" + name + ".tmp; mv " + name +
              ".tmp " + name + ".status ) </dev/null >/dev/null 2>&1 &");
        started = PollUntil(In(10), [&] { return ReadFile(name + ".pid").find('\n') != std::string::npos; });
    }
    bool Finished() const { return fs::exists(name + ".status"); }
    int Status() const { return Finished() ? std::stoi(ReadFile(name + ".status")) : -1; }
    void Stop()
    {
        if (!started || Finished())
            return;
        const std::string pid = ReadFile(name + ".pid").substr(0, ReadFile(name + ".pid").find('\n'));
        Shell("kill " + pid + " 2>/dev/null");
        if (!PollUntil(In(10), [&] { return Finished(); }))
            Shell("kill -KILL " + pid + " 2>/dev/null");
    }

private:
    std::string name;
    bool started = false;
};

// Xvfb on a display of its own (the first free one), with openbox when asked.
class XServer
{
public:
    bool Start(bool windowManager)
    {
        fs::remove("display.txt");
        server.Start("Xvfb -displayfd 3 -screen 0 " + std::to_string(screenWidth) + "x" +
                     std::to_string(screenHeight) + "x24 -nolisten tcp -br -noreset 3>display.txt >xvfb.log 2>&1");
        std::string number;
        if (!PollUntil(In(30), [&] { return (number = ReadFile("display.txt")).find('\n') != std::string::npos; }))
            return false;
        display = "DISPLAY=:" + number.substr(0, number.find('\n')) + " ";
        if (!windowManager)
            return true;
        const fs::path ready = fs::current_path() / "openbox.ready";
        fs::remove(ready);
        manager.Start(display + "openbox --sm-disable --startup 'touch " + ready.string() + "' >openbox.log 2>&1");
        return PollUntil(In(30), [&] { return fs::exists(ready); });
    }

    // Runs a command with this server as its display.
    int Run(const std::string& command) const { return Shell(display + command); }

    // The root window as it shows now.
    bool Screenshot(Image& image) const
    {
        return Run("xwd -root -silent > screen.xwd && convert-im6.q16 screen.xwd -depth 8 rgb:screen.rgb") == 0 &&
               ReadRgb("screen.rgb", screenWidth, screenHeight, image);
    }

    // The demo's window once the server shows it: its client area.
    bool FindWindow(Rect& client) const
    {
        if (Run("xwininfo -name 'Vexlar 3D engine' > window.txt 2>/dev/null") != 0)
            return false;
        const std::string info = ReadFile("window.txt");
        auto field = [&](const std::string& name) {
            const std::size_t at = info.find(name);
            return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + name.size());
        };
        client = Rect{field("Absolute upper-left X:"), field("Absolute upper-left Y:"), field("Width:"),
                      field("Height:")};
        return info.find("IsViewable") != std::string::npos && client.width > 0 && client.height > 0;
    }

    std::string display; // "DISPLAY=:n "

private:
    Background server{"xvfb"};
    Background manager{"openbox"}; // ends before the server
};

// A picture reduced to the coarse grid of brightness (red + green +
// blue), with its mean colour.
struct Coarse
{
    std::vector<double> grid;
    double brightness = 0.0;
    double greenPerRed = 0.0;
};

Coarse Reduce(const Image& image, const Rect& area)
{
    Coarse coarse;
    double red = 0.0, green = 0.0;
    for (int gy = 0; gy < gridHeight; ++gy)
        for (int gx = 0; gx < gridWidth; ++gx)
        {
            const int x0 = area.x + gx * area.width / gridWidth, x1 = area.x + (gx + 1) * area.width / gridWidth;
            const int y0 = area.y + gy * area.height / gridHeight, y1 = area.y + (gy + 1) * area.height / gridHeight;
            double sum = 0.0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                {
                    const unsigned char* p = image.At(x, y);
                    sum += p[0] + p[1] + p[2];
                    red += p[0];
                    green += p[1];
                }
            coarse.grid.push_back(sum / std::max(1, (x1 - x0) * (y1 - y0)));
        }
    for (double cell : coarse.grid)
        coarse.brightness += cell / static_cast<double>(coarse.grid.size());
    coarse.greenPerRed = red > 0.0 ? green / red : 0.0;
    return coarse;
}

// Normalised cross-correlation: 1 for the same picture at any brightness.
double Correlation(const std::vector<double>& a, const std::vector<double>& b)
{
    const double n = static_cast<double>(a.size());
    double sa = 0.0, sb = 0.0, ab = 0.0, aa = 0.0, bb = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        sa += a[i];
        sb += b[i];
        ab += a[i] * b[i];
        aa += a[i] * a[i];
        bb += b[i] * b[i];
    }
    const double spread = (aa - sa * sa / n) * (bb - sb * sb / n);
    return spread > 0.0 ? (ab - sa * sb / n) / std::sqrt(spread) : 0.0;
}

// Everything wrong with the screen: the picture must fill `picture` whole
// (its burning bottom edge on the rectangle's, its layout matching a frame
// the engine read back, in the same colours) and everything else of `owned`
// must be black. Empty when all is right.
std::string Judge(const Image& screen, const Rect& picture, const Rect& owned, const std::vector<Coarse>& frames)
{
    const int edgeRows = std::max(2, picture.height / 100);
    const Rect edge{picture.x, picture.y + picture.height - edgeRows, picture.width, edgeRows};
    long lit = 0;
    double bottom = 0.0;
    for (int y = owned.y; y < owned.y + owned.height; ++y)
        for (int x = owned.x; x < owned.x + owned.width; ++x)
        {
            const unsigned char* p = screen.At(x, y);
            lit += !picture.Contains(x, y) && std::max({p[0], p[1], p[2]}) > 8;
            if (edge.Contains(x, y))
                bottom += (p[0] + p[1] + p[2]) / (static_cast<double>(edge.width) * edge.height);
        }
    std::ostringstream problems;
    if (lit > 0)
        problems << lit << " pixels lit outside the picture; ";
    if (bottom < 60.0)
        problems << "the bottom edge is dark (" << bottom << "); ";

    const Coarse shown = Reduce(screen, picture);
    const Coarse* best = &frames.front();
    for (const Coarse& frame : frames)
        if (Correlation(shown.grid, frame.grid) > Correlation(shown.grid, best->grid))
            best = &frame;
    if (const double match = Correlation(shown.grid, best->grid); match < 0.8)
        problems << "no read-back frame matches (best " << match << "); ";
    else if (std::abs(shown.greenPerRed - best->greenPerRed) > 0.1)
        problems << "green per red " << shown.greenPerRed << ", read back " << best->greenPerRed << "; ";
    return problems.str();
}

class Desktop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (Shell("for tool in Xvfb openbox xdotool xwd xwininfo convert-im6.q16; do command -v $tool; done "
                  ">/dev/null") != 0)
            GTEST_SKIP() << "the X tools are not installed (bash scripts/setup.sh)";
        const fs::path folder = EnterScratchFolder();
        fs::create_directory_symlink(VEXLAR_BINARY_DIR "/bin/Data", folder / "Data");

        // Frames the engine read back from the same fire, off screen: from
        // its cold start to its fade-out, every half second. The layout is in
        // fractions of the picture, so a small picture (quick to draw) has it.
        ASSERT_EQ(RunProgram("vexlar", "--capture reference --start 60 --fps 2 --size 320x240"), 0)
            << ReadFile("stderr.txt");
        ASSERT_EQ(Shell("convert-im6.q16 reference/frame_*.png -filter box -resize " + std::to_string(gridWidth) +
                        "x" + std::to_string(gridHeight) + "! -append -depth 8 rgb:reference.rgb"),
                  0);
        const std::size_t count = ReadFile("reference.rgb").size() / (gridWidth * gridHeight * 3);
        Image strip;
        ASSERT_TRUE(ReadRgb("reference.rgb", gridWidth, static_cast<int>(count) * gridHeight, strip));
        for (std::size_t n = 0; n < count; ++n)
        {
            Coarse frame = Reduce(strip, Rect{0, static_cast<int>(n) * gridHeight, gridWidth, gridHeight});
            if (frame.brightness > 30.0) // leave out the black and the barely lit
                frames.push_back(frame);
        }
        ASSERT_GE(frames.size(), 10u);
    }

    // Starts a fresh X server (with openbox when asked; the last run and its
    // server end first), the demo on it, and waits for its window.
    void Play(bool windowManager, const std::string& arguments)
    {
        demo.reset();
        x.reset();
        x = std::make_unique<XServer>();
        ASSERT_TRUE(x->Start(windowManager)) << ReadFile("xvfb.log") << ReadFile("openbox.log");
        demo = std::make_unique<Background>("demo");
        launched = Clock::now();
        demo->Start(x->display + "SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 '" +
                    VEXLAR_BINARY_DIR "/bin/vexlar' " + arguments + " >stdout.txt 2>stderr.txt");
        ASSERT_TRUE(PollUntil(In(60), [&] { return x->FindWindow(client) || demo->Finished(); }) &&
                    !demo->Finished())
            << ReadFile("stderr.txt");
    }

    // Polls the screen until it shows the picture right; the fire takes a
    // few seconds to burn up.
    void ExpectPicture(const Rect& picture, const Rect& owned)
    {
        std::string problems = "no screenshot";
        const bool shown = PollUntil(launched + std::chrono::seconds(pictureSeconds), [&] {
            Image screen;
            return x->Screenshot(screen) && (problems = Judge(screen, picture, owned, frames)).empty();
        });
        EXPECT_TRUE(shown) << "picture at " << picture.x << "," << picture.y << " " << picture.width << "x"
                           << picture.height << ": " << problems;
    }

    // Sends Escape: the run ends at once (well before its timeline would),
    // with status 0; gives its log.
    std::string EndWithEscape()
    {
        EXPECT_FALSE(demo->Finished());
        // Through the keyboard (XTEST) to the window with the focus (a window
        // manager may have given it already), held for a moment as a hand
        // would: a press and release within one frame's messages leave the
        // key state as it was.
        x->Run("timeout 30 xdotool search --name '^Vexlar 3D engine$' windowfocus --sync >/dev/null 2>&1");
        EXPECT_EQ(x->Run("xdotool keydown Escape sleep 0.5 keyup Escape"), 0);
        EXPECT_TRUE(PollUntil(In(15), [&] { return demo->Finished(); }));
        EXPECT_LT(Clock::now() - launched, std::chrono::seconds(pictureSeconds + 20)); // the timeline lasts 75 s
        EXPECT_EQ(demo->Status(), 0) << ReadFile("stderr.txt");
        const std::string log = ReadFile("vexlar.log");
        // The adapter report names GLX and lists its extensions, one a line.
        const std::size_t block = log.find("\n  GLX extensions string :\n");
        EXPECT_NE(block, std::string::npos) << log;
        if (block != std::string::npos)
        {
            const std::size_t first = log.find('\n', block + 1) + 1;
            const auto names = SplitLines(log.substr(first, log.find("\n\n", first) - first));
            EXPECT_GE(names.size(), 5u);
            for (const std::string& name : names)
                EXPECT_EQ(name.rfind("GLX_", 0), 0u) << name;
        }
        ExpectInOrder(log, {"Exiting.\n"});
        return log;
    }

    static constexpr int pictureSeconds = 50;
    std::vector<Coarse> frames;
    std::unique_ptr<XServer> x;
    std::unique_ptr<Background> demo; // declared after the server: ends first
    Clock::time_point launched;
    Rect client;
};

constexpr Rect screen{0, 0, screenWidth, screenHeight};
constexpr const char* desktopMode =
    "    Display mode 640x480x32 at 60 Hz not available, using a full-screen window at the desktop mode\n";
} // namespace

TEST_F(Desktop, FullScreenWithAWindowManagerScalesThePictureBetweenBlackBars)
{
    ASSERT_NO_FATAL_FAILURE(Play(true, ""));
    // 1280 x 960 with bars of 32 rows above and below.
    ExpectPicture(Rect{0, 32, 1280, 960}, screen);
    const std::string log = EndWithEscape();
    ExpectInOrder(log, {desktopMode});
    EXPECT_EQ(log.find("The full-screen window got"), std::string::npos);
}

TEST_F(Desktop, FullScreenWithoutAWindowManagerFitsThePictureToTheWindowItGot)
{
    // Nobody grants full screen: the window stays 640 x 480 at the top left
    // and the picture fills exactly that, the log says so.
    ASSERT_NO_FATAL_FAILURE(Play(false, ""));
    ExpectPicture(Rect{0, 0, 640, 480}, screen);
    ExpectInOrder(EndWithEscape(),
                  {desktopMode, "    The full-screen window got 640x480, not the whole 1280x1024 screen\n"});
}

TEST_F(Desktop, WindowedAtTwoSizesThePictureFollowsTheWindow)
{
    // Framed by the window manager, wherever it placed the window.
    ASSERT_NO_FATAL_FAILURE(Play(true, "--windowed"));
    EXPECT_EQ(client.width, 640);
    EXPECT_EQ(client.height, 480);
    ExpectPicture(client, client);
    EXPECT_EQ(EndWithEscape().find("Display mode"), std::string::npos);

    // A bare server: the window at the top left, then made wider by the
    // user; the picture stays 800 x 600, centred between bars.
    ASSERT_NO_FATAL_FAILURE(Play(false, "--windowed --size 800x600"));
    ExpectPicture(Rect{0, 0, 800, 600}, screen);
    EXPECT_EQ(x->Run("xdotool search --name '^Vexlar 3D engine$' windowsize 1000 600 >/dev/null"), 0);
    ExpectPicture(Rect{100, 0, 800, 600}, screen);
    EndWithEscape();
}
