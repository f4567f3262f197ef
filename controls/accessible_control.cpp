// accessible_control.cpp - the accessible object of the hover buttons and the
// link label, and the accessibility runtime it is built on, loaded on first use.
#include "controls/accessible_control.h"

#include "platform/global_memory.h"
#include "platform/system_library.h"
#include "tooltips/tooltip_text.h"

#include <new>

namespace {

// The caption and tip texts a screen reader gets, the terminating zero included.
const int SPOKEN_TEXT_SIZE = TOOLTIP_TEXT_SIZE;
const char MNEMONIC_PREFIX = '&';
// Where the default action clicks: the top-left corner of the client area.
const LPARAM CLIENT_ORIGIN = 0;

// The accessibility runtime's functions, looked up the first time a control
// is asked for its object: oleacc.dll and the COM libraries are loaded only
// then, from the system folder, so that a system without Active Accessibility
// starts as before and a program that no reader asks never loads them.
struct AccessibilityRuntime {
    bool looked;
    bool apartment; // the thread has entered its COM apartment
    decltype(&CoInitialize) coInitialize;
    decltype(&LresultFromObject) lresultFromObject;
    decltype(&CreateStdAccessibleObject) createStdAccessibleObject;
    decltype(&SysAllocStringLen) sysAllocStringLen;
};

AccessibilityRuntime runtime;

const AccessibilityRuntime &Runtime()
{
    if (!runtime.looked) {
        runtime.looked = true;
        SystemFunction("ole32.dll", "CoInitialize", &runtime.coInitialize);
        SystemFunction("oleacc.dll", "LresultFromObject", &runtime.lresultFromObject);
        SystemFunction("oleacc.dll", "CreateStdAccessibleObject", &runtime.createStdAccessibleObject);
        SystemFunction("oleaut32.dll", "SysAllocStringLen", &runtime.sysAllocStringLen);
    }
    return runtime;
}

bool CanAnswer(const AccessibilityRuntime &functions)
{
    return functions.coInitialize && functions.lresultFromObject && functions.createStdAccessibleObject &&
           functions.sysAllocStringLen;
}

// Removes the "&" that marks a mnemonic, as DrawTextA does: "&&" stands for
// one "&", and any other "&" is not drawn.
void RemoveMnemonicPrefixes(char *text)
{
    char *to = text;
    for (const char *from = text; *from; ++from) {
        if (*from == MNEMONIC_PREFIX) {
            // The character after the "&" is drawn as it is, "&" included.
            ++from;
            if (*from == '\0')
                break;
        }
        *to++ = *from;
    }
    *to = '\0';
}

// A BSTR of an ANSI text; null when out of memory.
BSTR SpokenString(const char *text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0) - 1;
    BSTR spoken = Runtime().sysAllocStringLen(nullptr, length > 0 ? length : 0);
    if (spoken && length > 0)
        MultiByteToWideChar(CP_ACP, 0, text, -1, spoken, length + 1);
    return spoken;
}

HRESULT ReturnString(const char *text, BSTR *out)
{
    *out = SpokenString(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnNumber(LONG number, VARIANT *out)
{
    out->vt = VT_I4;
    out->lVal = number;
    return S_OK;
}

// Compared field by field, inline: the C runtime's memcmp would be one more
// import of the executable.
bool IsOneOfOurInterfaces(REFIID id)
{
    return InlineIsEqualGUID(id, __uuidof(IUnknown)) || InlineIsEqualGUID(id, __uuidof(IDispatch)) ||
           InlineIsEqualGUID(id, __uuidof(IAccessible));
}

bool IsSelf(const VARIANT &child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// Whether a mouse click could reach the control now: it is shown, and it
// and the windows it lies in are enabled. A modal box disables the dialog
// beneath it, and a click there must not act behind the box's back.
bool TakesClicks(HWND control)
{
    for (HWND window = control; window; window = GetParent(window)) {
        if (!IsWindowVisible(window) || !IsWindowEnabled(window))
            return false;
        if (!(GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD))
            break;
    }
    return true;
}

// The program's one class with virtual functions: screen readers reach the
// control through the IAccessible COM interface, whose calls go through a
// table of virtual functions, so the object has to be a C++ class deriving
// from the interface. It reads everything afresh from the window. A reader
// may keep it after the control is gone, when Windows 98 soon gives the
// handle to the next window made, likeliest a control of the program's own:
// so the object lives with its control, which disconnects it on its way out,
// and from then on every call answers RPC_E_DISCONNECTED.
//
// Objects are made, called and released on their control's thread: readers
// in other processes reach them through COM, whose calls arrive there.
class AccessibleControl : public IAccessible {
public:
    AccessibleControl(HWND control, DescribeControlProc describe)
        : control(control), describe(describe), references(1), next(connected)
    {
        connected = this;
    }

    ~AccessibleControl() { Disconnect(); }

    // Disconnects every object handed out for the control.
    static void DisconnectAll(HWND control)
    {
        AccessibleControl *object = connected;
        while (object) {
            AccessibleControl *following = object->next;
            if (object->control == control)
                object->Disconnect();
            object = following;
        }
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **object) override
    {
        if (!object)
            return E_POINTER;
        if (IsOneOfOurInterfaces(id)) {
            *object = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references); }

    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references);
        if (left == 0) {
            this->~AccessibleControl();
            GlobalFree(this);
        }
        return left;
    }

    // IDispatch: readers use the IAccessible methods directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override
    {
        *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *,
                                     UINT *) override
    {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override
    {
        *parent = nullptr;
        if (!Alive())
            return RPC_E_DISCONNECTED;
        // The control's own window object, which leads back down to this one.
        return Runtime().createStdAccessibleObject(control, OBJID_WINDOW, __uuidof(IDispatch),
                                                   reinterpret_cast<void **>(parent));
    }

    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override
    {
        *count = 0;
        return Alive() ? S_OK : RPC_E_DISCONNECTED;
    }

    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch **child) override
    {
        *child = nullptr;
        return Alive() ? E_INVALIDARG : RPC_E_DISCONNECTED;
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override
    {
        *name = nullptr;
        const HRESULT checked = Check(child);
        if (checked != S_OK)
            return checked;
        char caption[SPOKEN_TEXT_SIZE];
        GetWindowTextA(control, caption, SPOKEN_TEXT_SIZE);
        if (Facts().captionHasPrefix)
            RemoveMnemonicPrefixes(caption);
        return ReturnString(caption, name);
    }

    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override
    {
        *value = nullptr;
        const HRESULT checked = Check(child);
        return checked != S_OK ? checked : DISP_E_MEMBERNOTFOUND;
    }

    // The tip the control shows under the mouse, as the tip draws it.
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR *description) override
    {
        *description = nullptr;
        const HRESULT checked = Check(child);
        if (checked != S_OK)
            return checked;
        const TooltipEntry *entry = FindTooltip(control);
        char tip[TOOLTIP_TEXT_SIZE];
        if (!entry || !GetTooltipText(entry, tip) || !tip[0])
            return S_FALSE;
        RemoveMnemonicPrefixes(tip);
        return ReturnString(tip, description);
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override
    {
        role->vt = VT_EMPTY;
        const HRESULT checked = Check(child);
        return checked != S_OK ? checked : ReturnNumber(Facts().role, role);
    }

    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override
    {
        state->vt = VT_EMPTY;
        const HRESULT checked = Check(child);
        return checked != S_OK ? checked : ReturnNumber(Facts().state, state);
    }

    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR *help) override
    {
        *help = nullptr;
        const HRESULT checked = Check(child);
        return checked != S_OK ? checked : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT child, LONG *topic) override
    {
        *file = nullptr;
        *topic = 0;
        const HRESULT checked = Check(child);
        return checked != S_OK ? checked : DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR *shortcut) override
    {
        *shortcut = nullptr;
        const HRESULT checked = Check(child);
        return checked != S_OK ? checked : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *focus) override
    {
        focus->vt = VT_EMPTY;
        if (!Alive())
            return RPC_E_DISCONNECTED;
        return GetFocus() == control ? ReturnNumber(CHILDID_SELF, focus) : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *selection) override
    {
        selection->vt = VT_EMPTY;
        return Alive() ? S_FALSE : RPC_E_DISCONNECTED;
    }

    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR *action) override
    {
        *action = nullptr;
        const HRESULT checked = Check(child);
        return checked != S_OK ? checked : ReturnString(Facts().defaultAction, action);
    }

    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT child) override
    {
        const HRESULT checked = Check(child);
        return checked != S_OK ? checked : DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE accLocation(LONG *left, LONG *top, LONG *width, LONG *height,
                                          VARIANT child) override
    {
        *left = *top = *width = *height = 0;
        const HRESULT checked = Check(child);
        if (checked != S_OK)
            return checked;
        RECT bounds;
        GetWindowRect(control, &bounds);
        *left = bounds.left;
        *top = bounds.top;
        *width = bounds.right - bounds.left;
        *height = bounds.bottom - bounds.top;
        return S_OK;
    }

    // The control has no children, and its neighbours are known to the
    // parent's object, not to this one.
    HRESULT STDMETHODCALLTYPE accNavigate(LONG, VARIANT start, VARIANT *end) override
    {
        end->vt = VT_EMPTY;
        const HRESULT checked = Check(start);
        return checked != S_OK ? checked : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *hit) override
    {
        hit->vt = VT_EMPTY;
        if (!Alive())
            return RPC_E_DISCONNECTED;
        RECT bounds;
        GetWindowRect(control, &bounds);
        const POINT point = {x, y};
        return PtInRect(&bounds, point) ? ReturnNumber(CHILDID_SELF, hit) : S_FALSE;
    }

    // A click as the mouse gives one, button down and up, posted so that it
    // runs on the control's own thread after the input already queued there.
    // Posted input reaches even a disabled window, so the click is refused
    // where the mouse could not give it.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        const HRESULT checked = Check(child);
        if (checked != S_OK)
            return checked;
        if (!TakesClicks(control))
            return E_FAIL;
        PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, CLIENT_ORIGIN);
        PostMessageA(control, WM_LBUTTONUP, 0, CLIENT_ORIGIN);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    bool Alive() const { return control != nullptr; }

    // Takes the object off the list of connected objects and lets go of its
    // control for good.
    void Disconnect()
    {
        if (!control)
            return;
        AccessibleControl **link = &connected;
        while (*link != this)
            link = &(*link)->next;
        *link = next;
        control = nullptr;
    }

    // S_OK for a question about the control itself while the control lives.
    HRESULT Check(const VARIANT &child) const
    {
        if (!Alive())
            return RPC_E_DISCONNECTED;
        return IsSelf(child) ? S_OK : E_INVALIDARG;
    }

    AccessibleFacts Facts() const
    {
        AccessibleFacts facts = {};
        describe(control, &facts);
        if (!IsWindowVisible(control))
            facts.state |= STATE_SYSTEM_INVISIBLE;
        return facts;
    }

    HWND control; // null once disconnected
    DescribeControlProc describe;
    LONG references;
    AccessibleControl *next; // the next connected object

    // Every object connected to its control, newest first.
    static AccessibleControl *connected;
};

AccessibleControl *AccessibleControl::connected;

} // namespace

bool AnswerGetObject(HWND control, DescribeControlProc describe, WPARAM wParam, LPARAM lParam,
                     LRESULT *result)
{
    // The object id travels as a 32-bit value, whatever the width of lParam.
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || !CanAnswer(Runtime()))
        return false;
    // Readers in other processes reach the object through COM. In a
    // single-threaded apartment their calls arrive as messages to this thread
    // and are answered in turn with its other work, so the object reads the
    // focus and the control's state where they belong, without locks. The
    // apartment lasts as long as the thread.
    if (!runtime.apartment) {
        runtime.apartment = true;
        runtime.coInitialize(nullptr);
    }
    void *block = AllocateGlobal(GPTR, sizeof(AccessibleControl));
    if (!block)
        return false;
    AccessibleControl *object = new (block) AccessibleControl(control, describe);
    // The reference handed out holds the object; ours goes.
    *result = Runtime().lresultFromObject(__uuidof(IAccessible), wParam, object);
    object->Release();
    // A reference is positive; anything else is an error, and the default
    // procedure's answer is better than none.
    return *result > 0;
}

void DisconnectAccessibleObjects(HWND control)
{
    AccessibleControl::DisconnectAll(control);
}

void AnnounceStateChange(HWND control)
{
    // Looked up, not imported: Windows 95 and NT 4.0 lack it and must still
    // start the program far enough to be refused. user32 is loaded already,
    // so announcing a change loads nothing.
    static bool looked;
    static decltype(&NotifyWinEvent) notifyWinEvent;
    if (!looked) {
        looked = true;
        SystemFunction("user32.dll", "NotifyWinEvent", &notifyWinEvent);
    }
    if (notifyWinEvent)
        notifyWinEvent(EVENT_OBJECT_STATECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}
