// gdi_probe.cpp - counting free GDI handle slots, to see leaks of GDI objects.
#include "support/test_support.h"

#include <cstdio>
#include <vector>

int CountFreeGdiSlots()
{
    const int limit = 200000;
    std::vector<HBRUSH> brushes;
    while (static_cast<int>(brushes.size()) < limit) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (!brush)
            break;
        brushes.push_back(brush);
    }
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    return static_cast<int>(brushes.size());
}

GdiLeakProbe::GdiLeakProbe(const std::function<void()> &work) : work(work)
{
    work(); // whatever the system caches on first use
}

void GdiLeakProbe::Run(int rounds)
{
    this->rounds = rounds;
    freeBefore = CountFreeGdiSlots();
    for (int i = 0; i < rounds; ++i)
        work();
    freeAfter = CountFreeGdiSlots();
    printf("free GDI slots before %d, after %d rounds %d\n", freeBefore, rounds, freeAfter);
}
