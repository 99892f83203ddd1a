// Linked into every program of the sanitizer build (OSTRIVANE_SANITIZE), and
// nowhere else.
//
// When GLUT closes the X display (at exit, or when the window is closed) Mesa
// unloads its driver, and only after that does LeakSanitizer look for leaks.
// Allocations made by an unloaded driver are reported from "<unknown
// module>", which no suppression can name. So once GLUT has opened the display
// and Mesa has loaded its driver, the driver is marked never to be unloaded,
// and the leaks of third-party libraries are suppressed by library name
// (tests/sanitizer/lsan.supp) rather than by switching leak detection off.
#include <dlfcn.h>
#include <link.h>

#include <cstring>

#include "glut_include.h"

extern "C" const char *__lsan_default_options() {
    return "suppressions=" OSTRIVANE_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

// GCC 12's sanitizer runtime can take a block of dynamic thread-local
// storage for one with glibc 2.19's header, by the chance of where malloc put
// it, and the leak check at exit then crashes; its interception of
// __tls_get_addr, which only serves that, is off.
extern "C" const char *__asan_default_options() {
    return "intercept_tls_get_addr=0";
}

extern "C" const char *__ubsan_default_options() {
    return "print_stacktrace=1";
}

namespace {

int keepIfGlDriver(dl_phdr_info *info, std::size_t, void *) {
    const char *name = info->dlpi_name;
    if (name != nullptr &&
        (std::strstr(name, "_dri.so") != nullptr || std::strstr(name, "libgallium") != nullptr)) {
        // Already loaded: this only marks it never to be unloaded.
        dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
    return 0;
}

}  // namespace

// The programs' calls to glutInit land here, and go on to freeglut's.
void glutInit(int *argc, char **argv) {
    using GlutInit = void (*)(int *, char **);
    static const auto freeglutInit = reinterpret_cast<GlutInit>(dlsym(RTLD_NEXT, "glutInit"));
    freeglutInit(argc, argv);
    dl_iterate_phdr(keepIfGlDriver, nullptr);
}
