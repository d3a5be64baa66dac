#include "vexlar3d/core/T_Log.h"

int main()
{
    VEXLAR_LOG("Creating main system ...\n");
    return 0;
}
