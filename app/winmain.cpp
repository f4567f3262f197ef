// winmain.cpp - the program's entry point. The command line is not read.
#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return RunDialvane(instance);
}
