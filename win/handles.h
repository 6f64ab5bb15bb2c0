// Scoped handles: each device context, drawing object, kernel object, registry key and critical
// section is released by the destructor of the object that opened or made it.
#pragma once

#include "win/win32.h"

namespace vellora::win {

// GetDC / ReleaseDC on a window's client area (or on the screen, for a null window).
class ClientDC {
public:
    explicit ClientDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~ClientDC() {
        if (dc_ != nullptr) ReleaseDC(hwnd_, dc_);
    }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint / EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
    ~PaintDC() { EndPaint(hwnd_, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC Get() const { return dc_; }
    const RECT& PaintRect() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// CreateCompatibleDC / DeleteDC.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (dc_ != nullptr) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

// A pen, brush, bitmap or font deleted with DeleteObject.
template <typename Handle>
class GdiObject {
public:
    explicit GdiObject(Handle handle = nullptr) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    Handle Get() const { return handle_; }
    void Reset(Handle handle = nullptr) {
        if (handle_ != nullptr) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_;
};

// Selects an object into a context and selects the replaced one back on destruction.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A kernel object closed with CloseHandle (events, threads, processes, files).
class KernelHandle {
public:
    explicit KernelHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~KernelHandle() { Reset(); }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    HANDLE Get() const { return handle_; }
    // CreateFile answers INVALID_HANDLE_VALUE where the others answer null.
    bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE handle = nullptr) {
        if (Valid()) CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

// An open registry key, closed with RegCloseKey.
class RegKey {
public:
    RegKey() = default;
    ~RegKey() { Reset(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY Get() const { return key_; }
    // For the Reg*Key* calls that return a key: closes the one held first.
    HKEY* Receive() {
        Reset();
        return &key_;
    }
    void Reset() {
        if (key_ != nullptr) RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    HKEY key_ = nullptr;
};

// A critical section that lives as long as its owner, and the scope that holds it.
class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter() { EnterCriticalSection(&section_); }
    void Leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class Lock {
public:
    explicit Lock(CriticalSection& section) : section_(section) { section_.Enter(); }
    ~Lock() { section_.Leave(); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CriticalSection& section_;
};

}  // namespace vellora::win
