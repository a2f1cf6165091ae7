// @brief Style constants by name, taken from winport's own declarations so
// that the generator and the library cannot disagree.
#include "winport/tools/rcgen/style_names.h"

#include <map>

#include "winport/api/ui.h"

namespace rcgen {
namespace {

#define RCGEN_NAME(n) \
  { #n, static_cast < uint32_t>(n) }

const std::map<std::string, uint32_t>& Names() {
  static const std::map<std::string, uint32_t> names = {
      RCGEN_NAME(WS_OVERLAPPED),
      RCGEN_NAME(WS_POPUP),
      RCGEN_NAME(WS_CHILD),
      RCGEN_NAME(WS_MINIMIZE),
      RCGEN_NAME(WS_VISIBLE),
      RCGEN_NAME(WS_DISABLED),
      RCGEN_NAME(WS_CLIPSIBLINGS),
      RCGEN_NAME(WS_CLIPCHILDREN),
      RCGEN_NAME(WS_MAXIMIZE),
      RCGEN_NAME(WS_CAPTION),
      RCGEN_NAME(WS_BORDER),
      RCGEN_NAME(WS_DLGFRAME),
      RCGEN_NAME(WS_VSCROLL),
      RCGEN_NAME(WS_HSCROLL),
      RCGEN_NAME(WS_SYSMENU),
      RCGEN_NAME(WS_THICKFRAME),
      RCGEN_NAME(WS_GROUP),
      RCGEN_NAME(WS_TABSTOP),
      RCGEN_NAME(WS_EX_DLGMODALFRAME),
      RCGEN_NAME(WS_EX_NOPARENTNOTIFY),
      RCGEN_NAME(WS_EX_TOPMOST),
      RCGEN_NAME(WS_EX_TRANSPARENT),
      RCGEN_NAME(WS_EX_CLIENTEDGE),
      RCGEN_NAME(WS_EX_STATICEDGE),
      RCGEN_NAME(DS_ABSALIGN),
      RCGEN_NAME(DS_SYSMODAL),
      RCGEN_NAME(DS_3DLOOK),
      RCGEN_NAME(DS_FIXEDSYS),
      RCGEN_NAME(DS_NOFAILCREATE),
      RCGEN_NAME(DS_LOCALEDIT),
      RCGEN_NAME(DS_SETFONT),
      RCGEN_NAME(DS_MODALFRAME),
      RCGEN_NAME(DS_NOIDLEMSG),
      RCGEN_NAME(DS_SETFOREGROUND),
      RCGEN_NAME(DS_CONTROL),
      RCGEN_NAME(DS_CENTER),
      RCGEN_NAME(DS_CENTERMOUSE),
      RCGEN_NAME(DS_CONTEXTHELP),
      RCGEN_NAME(DS_SHELLFONT),
      RCGEN_NAME(SS_LEFT),
      RCGEN_NAME(SS_CENTER),
      RCGEN_NAME(SS_RIGHT),
      RCGEN_NAME(SS_ICON),
      RCGEN_NAME(SS_SIMPLE),
      RCGEN_NAME(SS_LEFTNOWORDWRAP),
      RCGEN_NAME(SS_NOPREFIX),
      RCGEN_NAME(SS_SUNKEN),
      RCGEN_NAME(ES_LEFT),
      RCGEN_NAME(ES_CENTER),
      RCGEN_NAME(ES_RIGHT),
      RCGEN_NAME(ES_MULTILINE),
      RCGEN_NAME(ES_UPPERCASE),
      RCGEN_NAME(ES_LOWERCASE),
      RCGEN_NAME(ES_PASSWORD),
      RCGEN_NAME(ES_AUTOVSCROLL),
      RCGEN_NAME(ES_AUTOHSCROLL),
      RCGEN_NAME(ES_NOHIDESEL),
      RCGEN_NAME(ES_READONLY),
      RCGEN_NAME(ES_WANTRETURN),
      RCGEN_NAME(ES_NUMBER),
      RCGEN_NAME(BS_PUSHBUTTON),
      RCGEN_NAME(BS_DEFPUSHBUTTON),
      RCGEN_NAME(PBS_SMOOTH),
      RCGEN_NAME(PBS_VERTICAL),
      RCGEN_NAME(IDOK),
      RCGEN_NAME(IDCANCEL),
      {"IDC_STATIC", 0xFFFFFFFFu},  // the id of controls nobody addresses
  };
  return names;
}

#undef RCGEN_NAME

}  // namespace

std::optional<uint32_t> StyleValue(const std::string& name) {
  auto found = Names().find(name);
  if (found == Names().end()) return std::nullopt;
  return found->second;
}

std::string ClassForWord(const std::string& word) {
  static const std::map<std::string, std::string> classes = {
      {"BUTTON", "button"},
      {"EDIT", "edit"},
      {"STATIC", "static"},
      {"LISTBOX", "listbox"},
      {"COMBOBOX", "combobox"},
      {"SCROLLBAR", "scrollbar"},
      {"PROGRESS_CLASS", PROGRESS_CLASSA},
      {"PROGRESS_CLASSA", PROGRESS_CLASSA},
  };
  auto found = classes.find(word);
  return found != classes.end() ? found->second : std::string();
}

}  // namespace rcgen
