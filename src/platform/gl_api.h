#pragma once
// The OpenGL 1.1 header, for the portable renderer. Windows' gl.h wants two
// calling-convention macros that <windows.h> would bring; defining them here
// keeps <windows.h> out of the renderer.

#if defined(_WIN32)
#ifndef APIENTRY
#define APIENTRY __stdcall
#endif
#ifndef WINGDIAPI
#define WINGDIAPI __declspec(dllimport)
#endif
#endif
#include <GL/gl.h>
