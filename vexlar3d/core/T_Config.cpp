#include "vexlar3d/core/T_Config.h"

T_Config g_config;
unsigned char keyState[256];
unsigned char keyPressed[256];
