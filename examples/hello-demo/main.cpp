// hello-demo's entry point: the engine's player with the demo's timeline.
#include "T_HelloTimeline.h"

#include "vexlar3d/player/T_Player.h"

#include <memory>

int main(int argc, char** argv)
{
    T_Player player("hello-demo");
    player.AddTimeline("hello", "a quad pulsing with the music, 10 s",
                       [] { return std::make_unique<T_HelloTimeline>(); });
    return player.Run(argc, argv);
}
