// @brief The component module's product name and version, as its version block states them.
#pragma once

namespace zvv {

inline constexpr char kModuleProductName[] = "ZoViveviVadiro Module";
// Built from the project version, which the module's version block uses too.
inline constexpr char kModuleVersion[] = ZVV_MODULE_VERSION;

}  // namespace zvv
