#include "dialog/dialog_state.h"

namespace vantrel {

DialogState initial_dialog_state() {
  DialogState state;
  for (const ControlSpec& entry : control_table()) state.captions[index_of(entry.id)] = std::string(entry.caption);
  return state;
}

}  // namespace vantrel
