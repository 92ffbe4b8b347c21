#include "dialog/dialog_state.h"

namespace vantrel {

DialogState initial_dialog_state() {
  DialogState state;
  for (const ControlSpec& spec : control_table()) state.captions[index_of(spec.id)] = std::string(spec.caption);
  return state;
}

}  // namespace vantrel
