# cmake -DRES=<file.res> -DOUT=<file.cpp> -P EmbedResources.cmake
#
# Writes a resource file's bytes as a C++ source that registers them with
# winport while the module holding them is loaded.
file(READ "${RES}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
get_filename_component(name "${RES}" NAME)
file(WRITE "${OUT}" "// The bytes of ${name}, written by the build.
#include \"winport/module_resources.h\"

namespace {

const unsigned char kResources[] = {
    ${bytes}};

const winport::ModuleResources kModuleResources(kResources, sizeof kResources);

}  // namespace
")
