// settings_query_parameter.cpp - reports one system parameter as a separate
// process sees it, so tests can tell a persisted setting from a live one.
//
// Usage: settings_query_parameter <get action, decimal>
// Exit code: the parameter's value (0 or 1 for the on/off parameters), or
// QUERY_FAILED when the argument is missing or the get action fails.
#include <windows.h>

#include <cstdlib>

namespace {
const int QUERY_FAILED = 255;
}

int main(int argc, char **argv)
{
    if (argc != 2)
        return QUERY_FAILED;
    const UINT action = static_cast<UINT>(std::strtoul(argv[1], nullptr, 10));

    if (action == SPI_GETANIMATION) {
        ANIMATIONINFO info = {sizeof(info), 0};
        if (!SystemParametersInfoA(action, sizeof(info), &info, 0))
            return QUERY_FAILED;
        return info.iMinAnimate;
    }
    BOOL value = 0;
    if (!SystemParametersInfoA(action, 0, &value, 0))
        return QUERY_FAILED;
    return value;
}
