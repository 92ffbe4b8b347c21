/* A preloadable counter of presented frames for the saver benchmarks.
 *
 * Built at bench time into a shared object and set in LD_PRELOAD. It counts
 * every call of glXSwapBuffers, glXSwapBuffersMscOML and eglSwapBuffers made by
 * the process (Debian's xscreensaver GL hacks present through EGL) and notes
 * the wall-clock time of the first and the latest one, and of the first frame
 * presented after the first texture upload (glTexImage2D): for the saver,
 * whose only texture is the picture, the first frame with the picture on the
 * sphere. The figures live in a small text record in the file named by
 * VANTREL_SWAP_LOG, mapped shared and rewritten in place at each swap, so a
 * reader can sample them while the process runs (no system call per frame):
 *
 *   pid=<pid> frames=<count> first_ns=<CLOCK_REALTIME> last_ns=<CLOCK_REALTIME>
 *   textured_ns=<CLOCK_REALTIME, or 0 before a textured frame>
 *
 * (one line).
 * Times are nanoseconds since the epoch, taken as the swap is entered: the
 * same clock as `date +%s%N`, so a script can measure from a process start it
 * stamped itself. A process that never swaps never touches the file, so a
 * wrapper script or helper process inheriting the variable leaves it alone.
 *
 * Wine's X11 driver opens libGL itself and looks its GLX entry points up with
 * dlsym on that handle and then glXGetProcAddressARB; a lookup on a handle
 * does not see preloaded libraries, so dlsym is wrapped too and hands out the
 * counting wrappers for these few names. Native programs linked to libGL
 * reach the wrappers through ordinary symbol interposition.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

typedef void (*SwapBuffersFn)(void* display, unsigned long drawable);
typedef int64_t (*SwapBuffersMscFn)(void* display, unsigned long drawable, int64_t target_msc, int64_t divisor,
                                    int64_t remainder);
typedef unsigned int (*EglSwapBuffersFn)(void* display, void* surface);
typedef void* (*GetProcAddressFn)(const unsigned char* name);
typedef void* (*DlsymFn)(void* handle, const char* name);
typedef void (*TexImage2DFn)(unsigned int target, int level, int internal_format, int width, int height, int border,
                             unsigned int format, unsigned int type, const void* pixels);

/* Large enough for the record line with every field at its widest. */
enum { kRecordBytes = 160 };

static pthread_mutex_t record_lock = PTHREAD_MUTEX_INITIALIZER;
static char* record;          /* the mapped file, or NULL before the first swap */
static int record_failed;     /* the file could not be mapped: stop trying */
static uint64_t frames;
static int64_t first_ns;
static int texture_uploaded; /* a texture was uploaded since the start */
static int64_t textured_ns;  /* the first swap after that upload, or 0 */

static SwapBuffersFn real_swap_buffers;
static SwapBuffersMscFn real_swap_buffers_msc;
static EglSwapBuffersFn real_egl_swap_buffers;
static GetProcAddressFn real_get_proc_address;
static GetProcAddressFn real_get_proc_address_arb;
static TexImage2DFn real_tex_image_2d;

static int64_t now_ns(void) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  return (int64_t)now.tv_sec * 1000000000LL + now.tv_nsec;
}

/* glibc's own dlsym, whichever version of the symbol this glibc has. */
static DlsymFn libc_dlsym(void) {
  static DlsymFn found;
  if (!found) found = (DlsymFn)dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.34");
  if (!found) found = (DlsymFn)dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.2.5");
  return found;
}

static void map_record(void) {
  const char* path = getenv("VANTREL_SWAP_LOG");
  if (!path || !*path) {
    record_failed = 1;
    return;
  }
  const int fd = open(path, O_RDWR | O_CREAT, 0644);
  if (fd < 0) {
    record_failed = 1;
    return;
  }
  void* mapped = MAP_FAILED;
  if (ftruncate(fd, kRecordBytes) == 0) {
    mapped = mmap(NULL, kRecordBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  }
  close(fd);
  if (mapped == MAP_FAILED) {
    record_failed = 1;
    return;
  }
  record = mapped;
}

static void count_swap(void) {
  const int64_t now = now_ns();
  pthread_mutex_lock(&record_lock);
  if (!record && !record_failed) map_record();
  if (frames++ == 0) first_ns = now;
  if (texture_uploaded && textured_ns == 0) textured_ns = now;
  if (record) {
    char line[kRecordBytes];
    const int length =
        snprintf(line, sizeof line, "pid=%ld frames=%llu first_ns=%lld last_ns=%lld textured_ns=%lld", (long)getpid(),
                 (unsigned long long)frames, (long long)first_ns, (long long)now, (long long)textured_ns);
    /* Padded with spaces to the full size, so a shorter line never leaves a
     * tail of the one before it; the record ends in a newline. */
    memset(record, ' ', kRecordBytes - 1);
    memcpy(record, line, (size_t)length);
    record[kRecordBytes - 1] = '\n';
  }
  pthread_mutex_unlock(&record_lock);
}

void glXSwapBuffers(void* display, unsigned long drawable);
int64_t glXSwapBuffersMscOML(void* display, unsigned long drawable, int64_t target_msc, int64_t divisor,
                             int64_t remainder);
unsigned int eglSwapBuffers(void* display, void* surface);
void* glXGetProcAddress(const unsigned char* name);
void* glXGetProcAddressARB(const unsigned char* name);
void glTexImage2D(unsigned int target, int level, int internal_format, int width, int height, int border,
                  unsigned int format, unsigned int type, const void* pixels);

/* The counting stand-in for `name`, remembering `real` as the function it
 * forwards to; `real` itself for every other name. */
static void* stand_in(const char* name, void* real) {
  if (!real || !name) return real;
  if (strcmp(name, "glXSwapBuffers") == 0) {
    if (real != (void*)glXSwapBuffers) real_swap_buffers = (SwapBuffersFn)real;
    return (void*)glXSwapBuffers;
  }
  if (strcmp(name, "glXSwapBuffersMscOML") == 0) {
    if (real != (void*)glXSwapBuffersMscOML) real_swap_buffers_msc = (SwapBuffersMscFn)real;
    return (void*)glXSwapBuffersMscOML;
  }
  if (strcmp(name, "eglSwapBuffers") == 0) {
    if (real != (void*)eglSwapBuffers) real_egl_swap_buffers = (EglSwapBuffersFn)real;
    return (void*)eglSwapBuffers;
  }
  if (strcmp(name, "glTexImage2D") == 0) {
    if (real != (void*)glTexImage2D) real_tex_image_2d = (TexImage2DFn)real;
    return (void*)glTexImage2D;
  }
  if (strcmp(name, "glXGetProcAddress") == 0) {
    if (real != (void*)glXGetProcAddress) real_get_proc_address = (GetProcAddressFn)real;
    return (void*)glXGetProcAddress;
  }
  if (strcmp(name, "glXGetProcAddressARB") == 0) {
    if (real != (void*)glXGetProcAddressARB) real_get_proc_address_arb = (GetProcAddressFn)real;
    return (void*)glXGetProcAddressARB;
  }
  return real;
}

/* The next definition of `name` after this library: libGL's. */
static void* next_definition(const char* name) {
  const DlsymFn lookup = libc_dlsym();
  return lookup ? lookup(RTLD_NEXT, name) : NULL;
}

void* dlsym(void* handle, const char* name) {
  const DlsymFn lookup = libc_dlsym();
  if (!lookup) return NULL;
  /* RTLD_NEXT resolves from this library rather than from the caller; it is
   * the library loaded right after the program, so the answer is the same for
   * every caller that is not itself a preloaded library. */
  return stand_in(name, lookup(handle, name));
}

void glXSwapBuffers(void* display, unsigned long drawable) {
  count_swap();
  if (!real_swap_buffers) real_swap_buffers = (SwapBuffersFn)next_definition("glXSwapBuffers");
  if (real_swap_buffers) real_swap_buffers(display, drawable);
}

int64_t glXSwapBuffersMscOML(void* display, unsigned long drawable, int64_t target_msc, int64_t divisor,
                             int64_t remainder) {
  count_swap();
  if (!real_swap_buffers_msc) real_swap_buffers_msc = (SwapBuffersMscFn)next_definition("glXSwapBuffersMscOML");
  return real_swap_buffers_msc ? real_swap_buffers_msc(display, drawable, target_msc, divisor, remainder) : -1;
}

unsigned int eglSwapBuffers(void* display, void* surface) {
  count_swap();
  if (!real_egl_swap_buffers) real_egl_swap_buffers = (EglSwapBuffersFn)next_definition("eglSwapBuffers");
  return real_egl_swap_buffers ? real_egl_swap_buffers(display, surface) : 0;
}

void glTexImage2D(unsigned int target, int level, int internal_format, int width, int height, int border,
                  unsigned int format, unsigned int type, const void* pixels) {
  if (!real_tex_image_2d) real_tex_image_2d = (TexImage2DFn)next_definition("glTexImage2D");
  if (real_tex_image_2d) real_tex_image_2d(target, level, internal_format, width, height, border, format, type, pixels);
  /* Noted once the upload is done, so the next swap is one that can show it. */
  if (pixels && level == 0) {
    pthread_mutex_lock(&record_lock);
    texture_uploaded = 1;
    pthread_mutex_unlock(&record_lock);
  }
}

void* glXGetProcAddress(const unsigned char* name) {
  if (!real_get_proc_address) real_get_proc_address = (GetProcAddressFn)next_definition("glXGetProcAddress");
  return real_get_proc_address ? stand_in((const char*)name, real_get_proc_address(name)) : NULL;
}

void* glXGetProcAddressARB(const unsigned char* name) {
  if (!real_get_proc_address_arb) {
    real_get_proc_address_arb = (GetProcAddressFn)next_definition("glXGetProcAddressARB");
  }
  return real_get_proc_address_arb ? stand_in((const char*)name, real_get_proc_address_arb(name)) : NULL;
}
