// @brief The form in which a module's compiled resource script hands its
// resources to winport (POSIX builds only; not a Windows interface).
//
// The resource generator turns a script into a C++ source holding one
// ResourceTable of constant data and a static registrar that calls
// WinportRegisterResources with an address inside the module when the module
// is loaded, and WinportUnregisterResources when it is unloaded. winport keys
// the table by the module handle of that address, so LoadStringA,
// DialogBoxParamA and FindResourceA given the module's HINSTANCE find it.
// Several tables may be registered for one module; they are searched in
// registration order.
#pragma once

#include <cstddef>

#include "winport/api/base.h"

namespace winport {

struct StringResource {
  UINT m_id;
  const char* m_text;  // UTF-8, escapes already resolved
};

// A control of a dialog template. The rectangle is in dialog units relative
// to the dialog's client area; the style carries WS_VISIBLE when the control
// starts visible.
struct ControlResource {
  int m_id;
  const char* m_className;  // "static", "edit", "button", "msctls_progress32", ...
  const char* m_text;
  short m_x, m_y, m_cx, m_cy;
  DWORD m_style;
  DWORD m_exStyle;
};

// A dialog template, named by a 16-bit id or, when m_name is not null, a text.
struct DialogResource {
  WORD m_id;
  const char* m_name;
  const char* m_caption;
  short m_x, m_y, m_cx, m_cy;
  DWORD m_style;
  DWORD m_exStyle;
  const char* m_fontFace;  // null without DS_SETFONT
  WORD m_fontSize;
  const ControlResource* m_controls;
  std::size_t m_controlCount;
};

// Any other resource, reached through FindResourceA: a type and a name, each
// a 16-bit id or (when the text is not null) a text, and the bytes.
struct RawResource {
  WORD m_typeId;
  const char* m_typeName;
  WORD m_nameId;
  const char* m_name;
  const unsigned char* m_data;
  DWORD m_size;
};

struct ResourceTable {
  const StringResource* m_strings;
  std::size_t m_stringCount;
  const DialogResource* m_dialogs;
  std::size_t m_dialogCount;
  const RawResource* m_raw;
  std::size_t m_rawCount;
};

}  // namespace winport

// The table must outlive its registration; addressInModule is any address
// inside the module that owns it (the table's own address will do).
void WinportRegisterResources(const void* addressInModule, const winport::ResourceTable* table);
void WinportUnregisterResources(const winport::ResourceTable* table);
