# Writes OUTPUT, a C++ source defining zvv::FindViewerAsset over the files
# ASSETS (a ';'-separated list of paths), each held as bytes under its file name.
set(table "")
set(data "")
set(index 0)
foreach(asset IN LISTS ASSETS)
  get_filename_component(name "${asset}" NAME)
  file(READ "${asset}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND data "constexpr char kAsset${index}[] = {${bytes} 0};\n")
  string(APPEND table "      {\"${name}\", std::string_view(kAsset${index}, ${size})},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.new" "// Written by EmbedAssets.cmake from the files of cli/serve/assets.
#include \"cli/serve/viewer_assets.h\"

#include <map>

namespace zvv {
namespace {
${data}}  // namespace

const std::string_view* FindViewerAsset(std::string_view name) {
  static const std::map<std::string_view, std::string_view> kAssets = {
${table}  };
  const auto it = kAssets.find(name);
  return it == kAssets.end() ? nullptr : &it->second;
}

}  // namespace zvv
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
