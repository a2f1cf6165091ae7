// @brief The static description of IViveviVadiro for dispatch without a
// registered type library.
#include "component/com/ivivevi_vadiro.h"
#include "component/com/type_info_holder.h"

namespace {

// kInterface: the members' names, dispatch ids, parameters and method-table
// slots, as the build reads them from the interface definition.
#include "ZoViveviVadiro_methods.inc"

}  // namespace

HRESULT StaticViveviVadiroTypeInfo(LCID lcid, ITypeInfo** ppTInfo) {
  return CreateDispTypeInfo(&kInterface, lcid, ppTInfo);
}
