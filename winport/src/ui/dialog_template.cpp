// @brief Reading dialog templates.
//
// Both layouts hold the same things in a different order: the extended one
// adds help ids, a font weight, italic and character set, and 32-bit control
// ids. Controls start on four-byte boundaries from the template's start. The
// font is read past but not kept: cells of the terminal display do not depend
// on it.
#include "winport/src/ui/dialog_template.h"

#include <cctype>

#include "winport/api/ui.h"
#include "winport/src/ui/resource_cursor.h"

namespace winport::ui {
namespace {

// Controls of the predefined classes name their class by a number. Other
// class names are written in capitals by the resource compiler; class names
// compare without case, and every class winport knows is spelt in lower case.
std::string ClassName(const ResourceName& name) {
  if (!name.m_text.empty()) {
    std::string lower = name.m_text;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
  }
  switch (name.m_id) {
    case 0x80:
      return "button";
    case 0x81:
      return "edit";
    case 0x82:
      return "static";
    case 0x83:
      return "listbox";
    case 0x84:
      return "scrollbar";
    case 0x85:
      return "combobox";
    default:
      return "#" + std::to_string(name.m_id);
  }
}

void ReadRect(ResourceCursor& in, short* x, short* y, short* cx, short* cy) {
  *x = in.Short();
  *y = in.Short();
  *cx = in.Short();
  *cy = in.Short();
}

DialogControl ReadControl(ResourceCursor& in, bool extended) {
  DialogControl control;
  in.AlignToDword();
  if (extended) {
    in.Dword();  // help id
    control.m_exStyle = in.Dword();
    control.m_style = in.Dword();
  } else {
    control.m_style = in.Dword();
    control.m_exStyle = in.Dword();
  }
  ReadRect(in, &control.m_x, &control.m_y, &control.m_cx, &control.m_cy);
  control.m_id = extended ? static_cast<int>(in.Dword()) : in.Word();
  control.m_className = ClassName(in.NameOrId());
  // A title given by number names an image; such controls show no text.
  control.m_text = in.NameOrId().m_text;
  in.Skip(in.Word());  // creation data
  return control;
}

}  // namespace

std::optional<DialogTemplate> ReadDialogTemplate(const unsigned char* data, std::size_t size) {
  ResourceCursor in(data, size);
  DialogTemplate dialog;
  bool extended = size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
  if (extended) {
    in.Skip(4 + 4);  // version and signature, help id
    dialog.m_exStyle = in.Dword();
    dialog.m_style = in.Dword();
  } else {
    dialog.m_style = in.Dword();
    dialog.m_exStyle = in.Dword();
  }
  WORD controlCount = in.Word();
  ReadRect(in, &dialog.m_x, &dialog.m_y, &dialog.m_cx, &dialog.m_cy);
  in.NameOrId();  // menu
  in.NameOrId();  // window class
  dialog.m_caption = in.Text();
  if (dialog.m_style & DS_SETFONT) {
    in.Word();                         // point size
    if (extended) in.Skip(2 + 1 + 1);  // weight, italic, character set
    in.Text();                         // typeface
  }
  for (WORD i = 0; i < controlCount && in.Ok(); ++i)
    dialog.m_controls.push_back(ReadControl(in, extended));
  if (!in.Ok()) return std::nullopt;
  return dialog;
}

}  // namespace winport::ui
