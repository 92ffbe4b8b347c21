#pragma once
// Telling an OpenGL driver that draws on the processor from its name. On
// such a driver every frame costs whole cores: the saver draws fewer frames
// there and leaves multisampling off (four samples a pixel cost it four times
// the fill).

#include <string_view>

namespace vantrel {

// True for Mesa's llvmpipe and softpipe and Windows' own "GDI Generic";
// `renderer` is the driver's GL_RENDERER string.
bool is_software_renderer(std::string_view renderer);

}  // namespace vantrel
