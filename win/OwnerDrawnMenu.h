#pragma once

#include <windows.h>

#include "Handle.h"

namespace quilldeck::win {

// Draws the owner-drawn entries of a popup menu, by command identifier, and
// the menu window's border.
class MenuArtist {
public:
    virtual ~MenuArtist() = default;
    virtual void Measure(UINT command, MEASUREITEMSTRUCT& item) const = 0;
    virtual void Draw(UINT command, const DRAWITEMSTRUCT& item) const = 0;
    virtual void PaintFrame(HWND menuWindow, HMENU menu) const = 0;
};

// One opening of an owner-drawn popup menu. While it lives, the owner's
// WM_MEASUREITEM and WM_DRAWITEM for the menu's entries go to the artist (the
// owner is subclassed), and the menu's window, caught by a hook of this
// thread as it is created, gets its border painted as well. The menu's
// entries must carry the menu's handle as their item data.
class OwnerDrawnMenuScope {
public:
    OwnerDrawnMenuScope(HWND owner, HMENU menu, const MenuArtist& artist);
    ~OwnerDrawnMenuScope();
    OwnerDrawnMenuScope(const OwnerDrawnMenuScope&) = delete;
    OwnerDrawnMenuScope& operator=(const OwnerDrawnMenuScope&) = delete;

private:
    static LRESULT CALLBACK OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                           DWORD_PTR data);
    static LRESULT CALLBACK MenuWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR id, DWORD_PTR data);
    static LRESULT CALLBACK WatchForMenuWindow(int code, WPARAM wParam, LPARAM lParam);

    HWND owner_;
    HMENU menu_;
    const MenuArtist& artist_;
    HWND menuWindow_ = nullptr;
    UniqueHook hook_;
};

}  // namespace quilldeck::win
