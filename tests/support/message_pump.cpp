// message_pump.cpp - time-limited message pumping for tests.
#include "support/test_support.h"

// Longest sleep between two looks at the condition: it may depend on other
// processes or on the clock, which send this thread no message.
static const DWORD POLL_INTERVAL_MS = 10;

void PumpPendingMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpMessagesUntil(const std::function<bool()> &done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPendingMessages();
        if (done && done())
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return done ? done() : false;
        const DWORD remaining = timeoutMs - elapsed;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, remaining < POLL_INTERVAL_MS ? remaining : POLL_INTERVAL_MS,
                                  QS_ALLINPUT);
    }
}

bool PumpMessagesUntilSignalled(HANDLE object, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPendingMessages();
        if (WaitForSingleObject(object, 0) == WAIT_OBJECT_0)
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(1, &object, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
}

void PumpMessagesFor(DWORD milliseconds)
{
    PumpMessagesUntil(nullptr, milliseconds);
}
