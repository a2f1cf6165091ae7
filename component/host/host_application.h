// @brief The host application's interface, as far as this component calls it.
//
// The host publishes a class object for CLSID_HostApplication; the component
// creates it with CoCreateInstance and calls it through its method table, so
// the positions below are binding. Positions 3 to 76 that the component never
// calls are reserved: a host implements them as E_NOTIMPL (HostApplicationStub
// does that for it).
//
// What each operation must return (S_OK and the value through its last
// argument; any failing HRESULT is treated as "cannot tell"):
//   19 get_Width       width of the host window in screen pixels; 0 means the
//                      progress dialog is not centred
//   21 get_Height      height of the host window in screen pixels; 0 as above
//   23 get_Top         screen y coordinate of the host window's top edge
//   25 get_Left        screen x coordinate of the host window's left edge
//   46 get_HostWindow  the window that owns the index prompt and the progress
//                      dialog, or 0 for none
//   52 get_InstallDir  the install folder, a BSTR (or any VARIANT that converts
//                      to text) ending with a path separator
//   77 GetValue        the host's numbered value; the component asks for 153
//                      and needs only that the call succeeds with a value that
//                      converts to text
//
// The host window slot holds a LONG_PTR: on the 32-bit Windows target that is
// the 32-bit value of the original interface, and on 64-bit targets a window
// handle keeps its full width, so the value is an HWND cast to an integer.
#pragma once

#include "winport/win32.h"

// {F7EE4E9D-CD64-11D1-8C81-0060973D093D}
inline constexpr CLSID CLSID_HostApplication = {
    0xF7EE4E9D, 0xCD64, 0x11D1, {0x8C, 0x81, 0x00, 0x60, 0x97, 0x3D, 0x09, 0x3D}};
// {F7EE4E9C-CD64-11D1-8C81-0060973D093D}
inline constexpr IID IID_IHostApplication = {
    0xF7EE4E9C, 0xCD64, 0x11D1, {0x8C, 0x81, 0x00, 0x60, 0x97, 0x3D, 0x09, 0x3D}};

// The number the component passes to GetValue.
inline constexpr LONG kHostValueNumber = 153;

#define HOST_RESERVED(n) STDMETHOD(Reserved##n)() PURE
struct IHostApplication : public IUnknown {
  HOST_RESERVED(3);
  HOST_RESERVED(4);
  HOST_RESERVED(5);
  HOST_RESERVED(6);
  HOST_RESERVED(7);
  HOST_RESERVED(8);
  HOST_RESERVED(9);
  HOST_RESERVED(10);
  HOST_RESERVED(11);
  HOST_RESERVED(12);
  HOST_RESERVED(13);
  HOST_RESERVED(14);
  HOST_RESERVED(15);
  HOST_RESERVED(16);
  HOST_RESERVED(17);
  HOST_RESERVED(18);
  STDMETHOD(get_Width)(LONG* pWidth) PURE;  // 19
  HOST_RESERVED(20);
  STDMETHOD(get_Height)(LONG* pHeight) PURE;  // 21
  HOST_RESERVED(22);
  STDMETHOD(get_Top)(LONG* pTop) PURE;  // 23
  HOST_RESERVED(24);
  STDMETHOD(get_Left)(LONG* pLeft) PURE;  // 25
  HOST_RESERVED(26);
  HOST_RESERVED(27);
  HOST_RESERVED(28);
  HOST_RESERVED(29);
  HOST_RESERVED(30);
  HOST_RESERVED(31);
  HOST_RESERVED(32);
  HOST_RESERVED(33);
  HOST_RESERVED(34);
  HOST_RESERVED(35);
  HOST_RESERVED(36);
  HOST_RESERVED(37);
  HOST_RESERVED(38);
  HOST_RESERVED(39);
  HOST_RESERVED(40);
  HOST_RESERVED(41);
  HOST_RESERVED(42);
  HOST_RESERVED(43);
  HOST_RESERVED(44);
  HOST_RESERVED(45);
  STDMETHOD(get_HostWindow)(LONG_PTR* phwnd) PURE;  // 46
  HOST_RESERVED(47);
  HOST_RESERVED(48);
  HOST_RESERVED(49);
  HOST_RESERVED(50);
  HOST_RESERVED(51);
  STDMETHOD(get_InstallDir)(VARIANT* pDir) PURE;  // 52
  HOST_RESERVED(53);
  HOST_RESERVED(54);
  HOST_RESERVED(55);
  HOST_RESERVED(56);
  HOST_RESERVED(57);
  HOST_RESERVED(58);
  HOST_RESERVED(59);
  HOST_RESERVED(60);
  HOST_RESERVED(61);
  HOST_RESERVED(62);
  HOST_RESERVED(63);
  HOST_RESERVED(64);
  HOST_RESERVED(65);
  HOST_RESERVED(66);
  HOST_RESERVED(67);
  HOST_RESERVED(68);
  HOST_RESERVED(69);
  HOST_RESERVED(70);
  HOST_RESERVED(71);
  HOST_RESERVED(72);
  HOST_RESERVED(73);
  HOST_RESERVED(74);
  HOST_RESERVED(75);
  HOST_RESERVED(76);
  STDMETHOD(GetValue)(LONG nNumber, VARIANT* pValue) PURE;  // 77
};
#undef HOST_RESERVED

// Base for hosts: answers every reserved position with E_NOTIMPL, leaving
// IUnknown and the seven operations to the host.
#define HOST_RESERVED(n) \
  STDMETHODIMP Reserved##n() final { return E_NOTIMPL; }
struct HostApplicationStub : public IHostApplication {
  HOST_RESERVED(3);
  HOST_RESERVED(4);
  HOST_RESERVED(5);
  HOST_RESERVED(6);
  HOST_RESERVED(7);
  HOST_RESERVED(8);
  HOST_RESERVED(9);
  HOST_RESERVED(10);
  HOST_RESERVED(11);
  HOST_RESERVED(12);
  HOST_RESERVED(13);
  HOST_RESERVED(14);
  HOST_RESERVED(15);
  HOST_RESERVED(16);
  HOST_RESERVED(17);
  HOST_RESERVED(18);
  HOST_RESERVED(20);
  HOST_RESERVED(22);
  HOST_RESERVED(24);
  HOST_RESERVED(26);
  HOST_RESERVED(27);
  HOST_RESERVED(28);
  HOST_RESERVED(29);
  HOST_RESERVED(30);
  HOST_RESERVED(31);
  HOST_RESERVED(32);
  HOST_RESERVED(33);
  HOST_RESERVED(34);
  HOST_RESERVED(35);
  HOST_RESERVED(36);
  HOST_RESERVED(37);
  HOST_RESERVED(38);
  HOST_RESERVED(39);
  HOST_RESERVED(40);
  HOST_RESERVED(41);
  HOST_RESERVED(42);
  HOST_RESERVED(43);
  HOST_RESERVED(44);
  HOST_RESERVED(45);
  HOST_RESERVED(47);
  HOST_RESERVED(48);
  HOST_RESERVED(49);
  HOST_RESERVED(50);
  HOST_RESERVED(51);
  HOST_RESERVED(53);
  HOST_RESERVED(54);
  HOST_RESERVED(55);
  HOST_RESERVED(56);
  HOST_RESERVED(57);
  HOST_RESERVED(58);
  HOST_RESERVED(59);
  HOST_RESERVED(60);
  HOST_RESERVED(61);
  HOST_RESERVED(62);
  HOST_RESERVED(63);
  HOST_RESERVED(64);
  HOST_RESERVED(65);
  HOST_RESERVED(66);
  HOST_RESERVED(67);
  HOST_RESERVED(68);
  HOST_RESERVED(69);
  HOST_RESERVED(70);
  HOST_RESERVED(71);
  HOST_RESERVED(72);
  HOST_RESERVED(73);
  HOST_RESERVED(74);
  HOST_RESERVED(75);
  HOST_RESERVED(76);
};
#undef HOST_RESERVED
