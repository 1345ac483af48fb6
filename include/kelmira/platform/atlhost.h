// Hosting controls in windows: the window class "AtlAxWin", attaching a control to a window, and
// dialogs whose items may host controls.
//
// "AtlAxWin" is registered by the platform; no set-up call is needed (AtlAxWinInit exists for
// code written for the desktop and just answers TRUE). A window of that class with a non-empty
// title creates the control the title names ("{CLSID}" or a ProgID) when it is created,
// initialises it (IPersistStreamInit::InitNew) and attaches it; creation fails when the control
// cannot be made.
//
// Attaching makes the host window the control's client site and in-place site
// (IOleInPlaceSiteWindowless, with the host window as the site's window and its client rectangle
// as the position and clip rectangles; windowless controls are drawn by the host's WM_PAINT and
// get its mouse and keyboard messages through OnWindowMessage). The client site is set first when
// the control asks for it (OLEMISC_SETCLIENTSITEFIRST); the extent is the host's client size in
// HIMETRIC; then the control is activated in place (OLEIVERB_INPLACEACTIVATE), unless it is
// OLEMISC_INVISIBLEATRUNTIME. Afterwards the host's WM_SIZE sets the extent and the position
// rectangle (0, 0, width, height). A windowed control's window covers the host and receives its
// own input. When the host window is destroyed the control is deactivated (InPlaceDeactivate),
// closed (OLECLOSE_NOSAVE), loses its client site and is released.
//
// A window of another class can host a control too: AtlAxAttachControl subclasses it and hands
// every message on to its own procedure after the host's handling.
#pragma once

#include <kelmira/platform/oleidl.h>
#include <kelmira/platform/winuser.h>

#define ATLAXWIN_CLASS "AtlAxWin"

// TRUE: the class is always registered.
KELMIRA_EXTERN_C BOOL AtlAxWinInit();

// Attaches control (any interface of it) to hWnd, replacing (and releasing) a control hosted
// there before; the control is not initialised or loaded. *ppUnkContainer, when the pointer is
// given, receives the host object's IUnknown. E_INVALIDARG for a null control or a window that
// does not exist; the result of the in-place activation when it fails (the control is then
// released again).
KELMIRA_EXTERN_C HRESULT AtlAxAttachControl(IUnknown* pControl, HWND hWnd, IUnknown** ppUnkContainer);

// Creates the control named by lpszName ("{CLSID}" or a ProgID), loads it from pStream
// (IPersistStreamInit, else IPersistStream) or initialises it (InitNew) when pStream is null, and
// attaches it to hWnd. Errors as CLSIDFromString, CoCreateInstance, Load/InitNew and
// AtlAxAttachControl.
KELMIRA_EXTERN_C HRESULT AtlAxCreateControl(LPCOLESTR lpszName, HWND hWnd, IStream* pStream, IUnknown** ppUnkContainer);

// The control hosted in hWnd (its IUnknown, with a reference). E_POINTER for a null pointer;
// E_FAIL when hWnd hosts no control.
KELMIRA_EXTERN_C HRESULT AtlAxGetControl(HWND h, IUnknown** pp);
// The host object of hWnd (its IUnknown, with a reference); E_FAIL when hWnd is no host.
KELMIRA_EXTERN_C HRESULT AtlAxGetHost(HWND h, IUnknown** pp);

// A modeless dialog from an in-memory template (there are no resource modules here) whose items
// may be "AtlAxWin" hosts. As CreateDialogIndirectParamA otherwise.
KELMIRA_EXTERN_C HWND AtlAxCreateDialogA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent,
                                         DLGPROC lpDialogProc, LPARAM dwInitParam);
// The modal form, as DialogBoxIndirectParamA.
KELMIRA_EXTERN_C INT_PTR AtlAxDialogBoxA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent,
                                         DLGPROC lpDialogProc, LPARAM dwInitParam);
