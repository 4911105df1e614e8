#include "module_state.h"

#include "unknown_base.h"

namespace brevin {

ModuleState& Module() {
  static ModuleState state;
  return state;
}

bool ModuleCanUnload() { return Module().serverLocks <= 0 && UnknownBase::LiveObjects() == 0; }

}  // namespace brevin
