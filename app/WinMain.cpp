#include "Framework.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand)
{
    return AfxWinMain(instance, previousInstance, commandLine, showCommand);
}
