#include "platform/software_renderer.h"

namespace vantrel {

bool is_software_renderer(std::string_view renderer) {
  for (const std::string_view software : {"llvmpipe", "softpipe", "GDI Generic"}) {
    if (renderer.find(software) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace vantrel
