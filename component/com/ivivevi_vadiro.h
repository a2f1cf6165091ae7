// @brief The automation interface IViveviVadiro, its class and library identifiers.
//
// A dual interface: after the seven IUnknown/IDispatch slots come exactly the
// five members below, in this order, so that a host may call them through the
// method table as well as by dispatch id (Find 1, GetOffsets 2, AutoRefresh 3,
// Initialize 4). Every member returns an HRESULT and never lets an exception
// out.
#pragma once

#include "winport/win32.h"

// {E47FE2CB-A57B-11D2-BE8E-00C04F990001}
inline constexpr IID IID_IViveviVadiro = {
    0xE47FE2CB, 0xA57B, 0x11D2, {0xBE, 0x8E, 0x00, 0xC0, 0x4F, 0x99, 0x00, 0x01}};
// {E47FE2CC-A57B-11D2-BE8E-00C04F990001}
inline constexpr CLSID CLSID_ViveviVadiro = {
    0xE47FE2CC, 0xA57B, 0x11D2, {0xBE, 0x8E, 0x00, 0xC0, 0x4F, 0x99, 0x00, 0x01}};
// {E47FE2BC-A57B-11D2-BE8E-00C04F990001}, version 1.0, locale 0x409.
inline constexpr GUID LIBID_ZOVIVEVIVADIROLib = {
    0xE47FE2BC, 0xA57B, 0x11D2, {0xBE, 0x8E, 0x00, 0xC0, 0x4F, 0x99, 0x00, 0x01}};
inline constexpr WORD kTypeLibMajorVersion = 1;
inline constexpr WORD kTypeLibMinorVersion = 0;

inline constexpr char kViveviVadiroProgId[] = "Torvane.ViveviVadiro.1";
inline constexpr char kViveviVadiroVersionIndependentProgId[] = "Torvane.ViveviVadiro";

// Dispatch ids of the members.
inline constexpr DISPID kDispIdFind = 1;
inline constexpr DISPID kDispIdGetOffsets = 2;
inline constexpr DISPID kDispIdAutoRefresh = 3;
inline constexpr DISPID kDispIdInitialize = 4;

struct IViveviVadiro : public IDispatch {
  // Searches the help collection. sSearchString: query text (required);
  // pSearchDirs: null, or a vector of folder texts that a hit's key must
  // contain; bTitleOnly: non-zero searches titles only; pResults receives a
  // vector with one element per hit: an empty VARIANT for a hit outside the
  // folders, else a vector of three BSTRs (score, document key, title).
  STDMETHOD(Find)
  (BSTR sSearchString, VARIANT* pSearchDirs, LONG bTitleOnly, VARIANT* pResults) PURE;
  // Not provided: E_NOTIMPL for valid arguments, E_INVALIDARG otherwise.
  STDMETHOD(GetOffsets)(BSTR sDocName, VARIANT* pResults) PURE;
  // 1 when the property was set true, else 0.
  STDMETHOD(get_AutoRefresh)(LONG* pVal) PURE;
  // Non-zero starts the help-folder watcher, zero stops it.
  STDMETHOD(put_AutoRefresh)(LONG newVal) PURE;
  // Reads the host's settings and opens (or builds) the help collection.
  // bShowUI non-zero allows the index prompt and the progress dialog.
  STDMETHOD(Initialize)(LONG bShowUI) PURE;
};
