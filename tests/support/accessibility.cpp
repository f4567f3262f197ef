// accessibility.cpp - a window's accessible object, read and used as a screen
// reader does.
#include "support/test_support.h"

#include "platform/system_library.h"

#include <oleacc.h>

#include <utility>

namespace {

// oleacc.dll is loaded at run time: test programs import only what the program may.
template <typename Function> Function Oleacc(const char *name)
{
    static const HRESULT com = CoInitialize(nullptr);
    Function function = nullptr;
    if (SUCCEEDED(com))
        SystemFunction("oleacc.dll", name, &function);
    return function;
}

const char LOW_WORD_PROC_PROPERTY[] = "DialvaneTestLowWordProc";

// Passes every message on to the window's own procedure (one of the
// program's) under the low word of its handle. Called directly: Wine's
// CallWindowProcA would hand it the full handle again.
LRESULT CALLBACK UnderLowWord(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC procedure = reinterpret_cast<WNDPROC>(GetPropA(window, LOW_WORD_PROC_PROPERTY));
    if (message == WM_NCDESTROY)
        RemovePropA(window, LOW_WORD_PROC_PROPERTY);
    return procedure(reinterpret_cast<HWND>(static_cast<UINT_PTR>(LOWORD(window))), message, wParam, lParam);
}

HWND MadeUnderLowWord(HWND window)
{
    SetPropA(window, LOW_WORD_PROC_PROPERTY, reinterpret_cast<HANDLE>(GetWindowLongPtrA(window, GWLP_WNDPROC)));
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(UnderLowWord));
    return window;
}

} // namespace

IAccessible *AccessibleObjectOf(HWND window)
{
    static const auto objectFromWindow =
        Oleacc<decltype(&AccessibleObjectFromWindow)>("AccessibleObjectFromWindow");
    IAccessible *object = nullptr;
    if (objectFromWindow)
        objectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void **>(&object));
    return object;
}

IAccessible *AccessibleObjectFromAnswer(LRESULT answer)
{
    static const auto objectFromLresult = Oleacc<decltype(&ObjectFromLresult)>("ObjectFromLresult");
    IAccessible *object = nullptr;
    if (objectFromLresult)
        objectFromLresult(answer, __uuidof(IAccessible), 0, reinterpret_cast<void **>(&object));
    return object;
}

HWND WindowOfAccessibleObject(IDispatch *object)
{
    static const auto windowFromObject =
        Oleacc<decltype(&WindowFromAccessibleObject)>("WindowFromAccessibleObject");
    IAccessible *accessible = nullptr;
    HWND window = nullptr;
    if (windowFromObject && object &&
        SUCCEEDED(object->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void **>(&accessible)))) {
        windowFromObject(accessible, &window);
        accessible->Release();
    }
    return window;
}

VARIANT AccessibleSelf()
{
    VARIANT self = {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

AccessibleReading ReadAccessible(HWND window)
{
    AccessibleReading reading;
    IAccessible *object = AccessibleObjectOf(window);
    if (!object)
        return reading;
    VARIANT role = {}, state = {};
    object->get_accRole(AccessibleSelf(), &role);
    object->get_accState(AccessibleSelf(), &state);
    reading.role = role.lVal;
    reading.state = state.lVal;
    using TextGetter = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR *);
    const std::pair<TextGetter, std::string *> texts[] = {
        {&IAccessible::get_accName, &reading.name},
        {&IAccessible::get_accDescription, &reading.description},
        {&IAccessible::get_accDefaultAction, &reading.defaultAction}};
    for (const auto &text : texts) {
        BSTR spoken = nullptr;
        char ansi[1024] = "";
        if ((object->*text.first)(AccessibleSelf(), &spoken) == S_OK)
            WideCharToMultiByte(CP_ACP, 0, spoken, -1, ansi, sizeof(ansi), nullptr, nullptr);
        SysFreeString(spoken);
        *text.second = ansi;
    }
    object->Release();
    return reading;
}

HRESULT DoDefaultAction(HWND window)
{
    IAccessible *object = AccessibleObjectOf(window);
    const HRESULT done = object ? object->accDoDefaultAction(AccessibleSelf()) : E_NOINTERFACE;
    if (object)
        object->Release();
    return done;
}

KeptPastItsControl KeepObjectPastItsControl(const std::function<HWND(const char *caption)> &make)
{
    HWND doomed = MadeUnderLowWord(make("Doomed"));
    KeptPastItsControl scene = {AccessibleObjectOf(doomed), nullptr, false};
    DestroyWindow(doomed);
    scene.successor = MadeUnderLowWord(make("Successor"));
    scene.sameHandle = LOWORD(doomed) == LOWORD(scene.successor);
    return scene;
}
