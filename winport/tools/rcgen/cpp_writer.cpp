// @brief The generated C++ source of a resource script.
#include "winport/tools/rcgen/cpp_writer.h"

#include <cstdio>
#include <sstream>

namespace rcgen {
namespace {

std::string Hex(uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08Xu", value);
  return buffer;
}

std::string TextOrNull(const std::string& text) {
  return text.empty() ? "nullptr" : CppLiteral(text);
}

}  // namespace

std::string CppLiteral(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\%03o", c);
      out += escape;
    }
  }
  return out + "\"";
}

std::string WriteCpp(const Script& script, const std::string& source) {
  std::ostringstream out;
  out << "// Resources compiled from " << source << "; generated, do not edit.\n"
      << "#include \"winport/resource_table.h\"\n\n"
      << "namespace {\n\n";

  if (!script.m_strings.empty()) {
    out << "constexpr winport::StringResource kStrings[] = {\n";
    for (const StringEntry& entry : script.m_strings) {
      out << "    {" << entry.m_id << "u, " << CppLiteral(entry.m_text) << "},\n";
    }
    out << "};\n\n";
  }

  for (std::size_t d = 0; d < script.m_dialogs.size(); ++d) {
    const Dialog& dialog = script.m_dialogs[d];
    if (dialog.m_controls.empty()) continue;
    out << "constexpr winport::ControlResource kControls" << d << "[] = {\n";
    for (const Control& control : dialog.m_controls) {
      out << "    {" << control.m_id << ", " << CppLiteral(control.m_className) << ", "
          << CppLiteral(control.m_text) << ", " << control.m_x << ", " << control.m_y << ", "
          << control.m_cx << ", " << control.m_cy << ", " << Hex(control.m_style) << ", "
          << Hex(control.m_exStyle) << "},\n";
    }
    out << "};\n\n";
  }
  if (!script.m_dialogs.empty()) {
    out << "constexpr winport::DialogResource kDialogs[] = {\n";
    for (std::size_t d = 0; d < script.m_dialogs.size(); ++d) {
      const Dialog& dialog = script.m_dialogs[d];
      std::string controls =
          dialog.m_controls.empty() ? "nullptr" : "kControls" + std::to_string(d);
      out << "    {" << dialog.m_name.m_id << ", " << TextOrNull(dialog.m_name.m_text) << ", "
          << CppLiteral(dialog.m_caption) << ", " << dialog.m_x << ", " << dialog.m_y << ", "
          << dialog.m_cx << ", " << dialog.m_cy << ", " << Hex(dialog.m_style) << ", "
          << Hex(dialog.m_exStyle) << ", " << TextOrNull(dialog.m_fontFace) << ", "
          << dialog.m_fontSize << ", " << controls << ", " << dialog.m_controls.size() << "},\n";
    }
    out << "};\n\n";
  }

  for (std::size_t r = 0; r < script.m_raw.size(); ++r) {
    const RawEntry& raw = script.m_raw[r];
    out << "constexpr unsigned char kData" << r << "[] = {";
    for (std::size_t i = 0; i < raw.m_data.size(); ++i) {
      out << (i % 16 == 0 ? "\n    " : " ") << static_cast<unsigned>(raw.m_data[i]) << ",";
    }
    if (raw.m_data.empty()) out << "0";  // an array cannot be empty; the size says 0
    out << "\n};\n\n";
  }
  if (!script.m_raw.empty()) {
    out << "constexpr winport::RawResource kRaw[] = {\n";
    for (std::size_t r = 0; r < script.m_raw.size(); ++r) {
      const RawEntry& raw = script.m_raw[r];
      out << "    {" << raw.m_type.m_id << ", " << TextOrNull(raw.m_type.m_text) << ", "
          << raw.m_name.m_id << ", " << TextOrNull(raw.m_name.m_text) << ", kData" << r << ", "
          << raw.m_data.size() << "u},\n";
    }
    out << "};\n\n";
  }

  auto table = [](bool present, const char* name, std::size_t count) {
    return present ? std::string(name) + ", " + std::to_string(count) : std::string("nullptr, 0");
  };
  out << "constexpr winport::ResourceTable kTable = {\n"
      << "    " << table(!script.m_strings.empty(), "kStrings", script.m_strings.size()) << ",\n"
      << "    " << table(!script.m_dialogs.empty(), "kDialogs", script.m_dialogs.size()) << ",\n"
      << "    " << table(!script.m_raw.empty(), "kRaw", script.m_raw.size()) << "};\n\n"
      << "// Registered while the module is loaded; the table's own address tells\n"
      << "// winport which module it belongs to.\n"
      << "struct Registrar {\n"
      << "  Registrar() { WinportRegisterResources(&kTable, &kTable); }\n"
      << "  ~Registrar() { WinportUnregisterResources(&kTable); }\n"
      << "  Registrar(const Registrar&) = delete;\n"
      << "  Registrar& operator=(const Registrar&) = delete;\n"
      << "};\n"
      << "const Registrar kRegistrar;\n\n"
      << "}  // namespace\n";
  return out.str();
}

}  // namespace rcgen
