// test_support.h - helpers shared by the test programs: a time-limited message
// pump, the real cursor, screen capture and a registry sandbox.
#pragma once

#include "platform/platform.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// --- Messages -------------------------------------------------------------

// Dispatches every message already queued for this thread, including those
// for dialogs (IsDialogMessage is not applied: tests send keys directly).
void PumpPendingMessages();

// Pumps messages for `milliseconds`, sleeping in MsgWaitForMultipleObjects
// between them (never Sleep: the thread must keep answering its windows).
void PumpMessagesFor(DWORD milliseconds);

// Pumps until `done` answers true or `timeoutMs` has passed; returns the last
// answer of `done`.
bool PumpMessagesUntil(const std::function<bool()> &done, DWORD timeoutMs);

// Pumps until `object` (a process, say) is signalled or `timeoutMs` has
// passed, waking for each message and for the object itself; returns whether
// it was signalled.
bool PumpMessagesUntilSignalled(HANDLE object, DWORD timeoutMs);

// --- Cursor ----------------------------------------------------------------

// Moves the real cursor to a screen point and waits until the system reports
// it there.
void MoveCursorTo(int x, int y);
// Moves the real cursor to a point in a window's client coordinates.
void MoveCursorToClientPoint(HWND window, int x, int y);
// Parks the cursor in the bottom-right corner of the screen, away from the
// windows under test.
void ParkCursor();

// --- Screen ----------------------------------------------------------------

struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels; // row-major, top row first

    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Number of pixels of exactly this colour inside the given rectangle
    // (image coordinates, right and bottom exclusive).
    int Count(COLORREF colour, const RECT &area) const;
    int Count(COLORREF colour) const;
    bool Contains(COLORREF colour) const { return Count(colour) > 0; }
};

// Runs `draw` on a memory device context holding a width x height 32-bit
// bitmap and returns the pixels it drew.
ScreenImage DrawToImage(int width, int height, const std::function<void(HDC)> &draw);
// Copies a rectangle of the screen (screen coordinates).
ScreenImage CaptureScreen(const RECT &area);
// Copies a window's whole window rectangle, after letting it paint.
ScreenImage CaptureWindow(HWND window);
// Copies a window's client area.
ScreenImage CaptureClient(HWND window);
// Fills a window's client area with black straight on screen, so that a
// paint that draws nothing leaves it black.
void BlackenClient(HWND window);
// Whether a slider (trackbar) draws its thumb where its position puts it: the
// thumb rectangle it reports once its pending paints are done equals the one
// it reports after being moved away from its position and back, redrawing
// each time. A position set without redrawing leaves the thumb drawn where it
// was.
bool SliderThumbAtItsPosition(HWND slider);
// Writes a 24-bit BMP into the test output folder and returns its Windows path.
std::string SaveScreenshot(const ScreenImage &image, const std::string &name);
// Writes a 24-bit BMP to the given Windows path.
bool SaveBitmapFile(const ScreenImage &image, const std::string &path);

// --- GDI objects -------------------------------------------------------------

// Free slots in the GDI handle table, counted by creating brushes until the
// system refuses one. GetGuiResources cannot be used: Wine answers 0.
int CountFreeGdiSlots();

// Runs `work` once to warm up, then `rounds` times between two counts of the
// free GDI slots. A leak of even one object per round shows as a smaller
// second count; `Sensitive()` says whether the table had room to see it.
class GdiLeakProbe {
public:
    explicit GdiLeakProbe(const std::function<void()> &work);
    void Run(int rounds);
    bool Sensitive() const { return freeBefore > rounds; }
    int Leaked() const { return freeBefore - freeAfter; }

private:
    std::function<void()> work;
    int rounds = 0;
    int freeBefore = 0;
    int freeAfter = 0;
};

// --- Files -----------------------------------------------------------------

// Turns a Unix path from the environment into one Wine's Z: drive resolves.
std::string WindowsPathFromUnix(const std::string &unixPath);
// The folder for screenshots and other test output, as a Windows path.
std::string TestOutputDirectory();
// A file next to this test program.
std::string SiblingPath(const std::string &name);

// --- Registry --------------------------------------------------------------

// The keys the program reads, writes and deletes from, under
// HKEY_CURRENT_USER: spelt out once for every test, not taken from the
// program, so that a wrong key in the program shows.
namespace test_keys {
inline constexpr char DESKTOP[] = "Control Panel\\Desktop";
inline constexpr char METRICS[] = "Control Panel\\Desktop\\WindowMetrics";
inline constexpr char POLICIES[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies";
inline constexpr char POLICY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
inline constexpr char MENU_ORDER_PARENT[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder";
inline constexpr char MENU_ORDER[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu\\&Programs\\Menu";
} // namespace test_keys

// Saves whole key trees (under HKEY_CURRENT_USER unless another root is
// given) when made, and puts them back exactly (values, types, subkeys;
// absent keys deleted) when destroyed.
class RegistrySandbox {
public:
    explicit RegistrySandbox(std::vector<std::string> keyPaths);
    RegistrySandbox(HKEY root, std::vector<std::string> keyPaths);
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox &) = delete;
    RegistrySandbox &operator=(const RegistrySandbox &) = delete;

    struct Value {
        std::string name;
        DWORD type;
        std::vector<BYTE> data;
    };
    struct Key {
        bool exists = false;
        std::vector<Value> values;
        std::vector<std::pair<std::string, Key>> subkeys;
    };

private:
    HKEY root;
    std::vector<std::pair<std::string, Key>> saved;
};

// Registry helpers for tests: plain reads and writes under HKEY_CURRENT_USER.
bool RegKeyExists(const std::string &keyPath);
void RegDeleteTreeForTest(const std::string &keyPath);
void RegWriteForTest(const std::string &keyPath, const std::string &valueName, DWORD type,
                     const void *data, DWORD size);
void RegWriteStringForTest(const std::string &keyPath, const std::string &valueName,
                           const std::string &text);
void RegWriteDwordForTest(const std::string &keyPath, const std::string &valueName, DWORD value);
void RegDeleteValueForTest(const std::string &keyPath, const std::string &valueName);

struct RegRead {
    bool found = false;
    DWORD type = 0;
    std::vector<BYTE> data;
    std::string Text() const; // data up to the first zero byte
};
RegRead RegReadForTest(const std::string &keyPath, const std::string &valueName);

// Makes `keyPath` uncreatable: its parent is deleted and created again as a
// volatile key, under which a non-volatile child cannot be created. The
// sandbox covering the parent puts everything back.
void MakeKeyUncreatable(const std::string &keyPath);

// --- System colours ----------------------------------------------------------

// Sets system colours (SetSysColors) while it lives and puts the old ones
// back, with what SetSysColors may have stored under "Control Panel\Colors".
class ScopedSysColors {
public:
    explicit ScopedSysColors(std::vector<std::pair<int, COLORREF>> colours);
    ~ScopedSysColors();
    ScopedSysColors(const ScopedSysColors &) = delete;
    ScopedSysColors &operator=(const ScopedSysColors &) = delete;

private:
    RegistrySandbox stored{{"Control Panel\\Colors"}};
    std::vector<int> indexes;
    std::vector<COLORREF> saved;
};

// --- Accessibility -----------------------------------------------------------

// A window's client object, of this process or another, as a screen reader
// asks for it (COM initialised on this thread first); null when there is
// none. The caller releases it.
struct IAccessible;
IAccessible *AccessibleObjectOf(HWND window);
// The object a window procedure answered WM_GETOBJECT (wParam 0) with.
IAccessible *AccessibleObjectFromAnswer(LRESULT answer);
// The window an object (a parent a reader went up to, say) stands for.
struct IDispatch;
HWND WindowOfAccessibleObject(IDispatch *object);
// The child id that names the object itself.
VARIANT AccessibleSelf();
// What a screen reader reads of the object; zeros and "" for what it cannot.
struct AccessibleReading {
    LONG role = 0;
    LONG state = 0;
    std::string name, description, defaultAction;
};
AccessibleReading ReadAccessible(HWND window);
// The object's default action, as accDoDefaultAction answers it.
HRESULT DoDefaultAction(HWND window);
// An object a reader kept of a control, after the control was destroyed and
// the next one made took its handle, as on Windows 98. Wine gives a new
// window the slot freed last, and a handle's low word names whichever window
// holds that slot; so both controls get every message under their handle's
// low word. `make` makes a control with the caption given.
struct KeptPastItsControl {
    IAccessible *kept;
    HWND successor;
    bool sameHandle;
};
KeptPastItsControl KeepObjectPastItsControl(const std::function<HWND(const char *caption)> &make);
