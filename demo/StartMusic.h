#pragma once

#include <string>

// Opens and plays the music stream `name` through the sound system, moved
// to `startSeconds` when that is above 0 (so that it plays in step with a
// timeline started later). Without a sound system nothing happens.
void StartMusic(const std::string& name, double startSeconds);
