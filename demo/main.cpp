// The demo's entry point: the player with the demo's two timelines, the fire
// (played when none is named) and the showcase.
#include "demo/T_DemoScript.h"
#include "demo/T_ShowcaseScript.h"
#include "vexlar3d/player/T_Player.h"

#include <memory>

int main(int argc, char** argv)
{
    T_Player player("the Vexlar demo");
    player.AddTimeline("fire", "75 s of fire", [] { return std::make_unique<T_DemoScript>(); });
    player.AddTimeline("showcase", "every effect of the demo, 77 s",
                       [] { return std::make_unique<T_ShowcaseScript>(); });
    return player.Run(argc, argv);
}
