#pragma once

// The small part of the 3ds Max SDK that the colour picker plug-in implements or calls:
// class descriptors, class ids, the colour-picker interfaces and the SDK's heap
// operators. Declared with the SDK's names and meanings so that the adapter reads like
// any 3ds Max plug-in; a Windows build includes the real SDK instead.

#include "host/win32/Win32.h"

#include <cstddef>
#include <new>

using ULONG = unsigned long;
using ULONG_PTR = std::uintptr_t;
using MCHAR = WCHAR;
#define _M(text) u##text

constexpr int MAX_RELEASE = 15000;
constexpr int MAX_API_NUM = 40;
constexpr int MAX_SDK_REV = 0;
constexpr ULONG VERSION_3DSMAX = (ULONG(MAX_RELEASE) << 16) + (MAX_API_NUM << 8) + MAX_SDK_REV;

using SClass_ID = ULONG;
constexpr SClass_ID COLPICK_CLASS_ID = 0x10C0;

// Objects that the SDK creates or deletes allocate through its heap.
class MaxHeapOperators
{
public:
    static void *operator new(std::size_t size) { return ::operator new(size); }
    static void *operator new(std::size_t size, const std::nothrow_t &tag) noexcept { return ::operator new(size, tag); }
    static void operator delete(void *pointer) noexcept { ::operator delete(pointer); }
    static void *operator new[](std::size_t size) { return ::operator new[](size); }
    static void operator delete[](void *pointer) noexcept { ::operator delete[](pointer); }
};

class Class_ID : public MaxHeapOperators
{
public:
    constexpr Class_ID() = default;
    constexpr Class_ID(ULONG a, ULONG b)
        : a(a)
        , b(b)
    {
    }
    constexpr ULONG PartA() const { return a; }
    constexpr ULONG PartB() const { return b; }
    constexpr bool operator==(const Class_ID &other) const { return a == other.a && b == other.b; }
    constexpr bool operator!=(const Class_ID &other) const { return !(*this == other); }

private:
    ULONG a = 0xFFFFFFFF;
    ULONG b = 0xFFFFFFFF;
};

class IPoint2 : public MaxHeapOperators
{
public:
    int x = 0;
    int y = 0;
    constexpr IPoint2() = default;
    constexpr IPoint2(int x, int y)
        : x(x)
        , y(y)
    {
    }
};

class AColor : public MaxHeapOperators
{
public:
    float r = 0, g = 0, b = 0, a = 0;
};

class Rect : public MaxHeapOperators
{
public:
    int left = 0, top = 0, right = 0, bottom = 0;
};

class BaseInterface;
using Interface_ID = Class_ID;

class InterfaceServer : public MaxHeapOperators
{
public:
    virtual ~InterfaceServer() = default;
    virtual BaseInterface *GetInterface(Interface_ID) { return nullptr; }
};

// What a colour picker reports to the control that opened it.
class HSVCallback : public InterfaceServer
{
public:
    virtual void ButtonDown() {}
    virtual void ButtonUp(BOOL) {}
    virtual void ColorChanged(DWORD col, BOOL buttonUp) = 0;
    virtual void BeingDestroyed(IPoint2 pos) = 0;
    virtual void OnOK() {}
    virtual void OnCancel() {}
};

// A modeless colour picker window beside a host control.
class ColorPicker : public InterfaceServer
{
public:
    virtual void ModifyColor(DWORD color) = 0;
    virtual void SetNewColor(DWORD color, const MCHAR *name) = 0;
    virtual DWORD GetColor() = 0;
    virtual IPoint2 GetPosition() = 0;
    virtual void Destroy() = 0;
    virtual void InstallNewCB(DWORD col, HSVCallback *pcb, const MCHAR *st) = 0;
    virtual void RefreshUI() {}
    virtual AColor GetAColor() { return AColor(); }
    virtual void ModifyColor(AColor) {}
    virtual void SetNewColor(AColor, const MCHAR *) {}
    virtual void InstallNewCB(AColor, HSVCallback *, const MCHAR *) {}
    virtual Rect GetRect() { return Rect(); }
    virtual bool IsColorSamplerMode() { return false; }
};

// A colour picker plug-in: a modal picker and a factory of modeless ones.
class ColPick : public InterfaceServer
{
public:
    virtual int ModalColorPicker(HWND hwndOwner, DWORD *lpc, IPoint2 *spos, HSVCallback *callBack,
                                 const MCHAR *name) = 0;
    virtual ColorPicker *CreateColorPicker(HWND hwndOwner, DWORD initColor, IPoint2 *spos, HSVCallback *pcallback,
                                           const MCHAR *name, BOOL isObjectColor) = 0;
    virtual const MCHAR *ClassName() = 0;
    virtual Class_ID ClassID() = 0;
    virtual void DeleteThis() = 0;
    virtual INT_PTR Execute(int, ULONG_PTR = 0, ULONG_PTR = 0, ULONG_PTR = 0) { return 0; }
    // The older overloads with a modifiable name forward to the ones above.
    virtual int ModalColorPicker(HWND hwndOwner, DWORD *lpc, IPoint2 *spos, HSVCallback *callBack, MCHAR *name)
    {
        return ModalColorPicker(hwndOwner, lpc, spos, callBack, static_cast<const MCHAR *>(name));
    }
    virtual ColorPicker *CreateColorPicker(HWND hwndOwner, DWORD initColor, IPoint2 *spos, HSVCallback *pcallback,
                                           MCHAR *name, BOOL isObjectColor)
    {
        return CreateColorPicker(hwndOwner, initColor, spos, pcallback, static_cast<const MCHAR *>(name),
                                 isObjectColor);
    }
    virtual int ModalColorPicker(HWND, AColor *, IPoint2 *, HSVCallback *, const MCHAR *) { return 0; }
    virtual ColorPicker *CreateColorPicker(HWND, AColor, IPoint2 *, HSVCallback *, const MCHAR *, BOOL)
    {
        return nullptr;
    }
};

// What 3ds Max learns about one plug-in class.
class ClassDesc : public MaxHeapOperators
{
public:
    virtual ~ClassDesc() = default;
    virtual int IsPublic() = 0;
    virtual void *Create(BOOL loading = FALSE) = 0;
    virtual const MCHAR *ClassName() = 0;
    virtual SClass_ID SuperClassID() = 0;
    virtual Class_ID ClassID() = 0;
    virtual const MCHAR *Category() = 0;
    virtual const MCHAR *InternalName() { return nullptr; }
    virtual HINSTANCE HInstance() { return nullptr; }
    virtual int NumParamBlockDescs() { return 0; }
    virtual int NumActionTables() { return 0; }
    virtual int NumManipulators() { return 0; }
    virtual BOOL NeedsToSave() { return FALSE; }
};

class ClassDesc2 : public ClassDesc
{
};
