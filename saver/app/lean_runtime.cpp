// The saver and the installer catch no exceptions: anything the C++ library would throw ends the
// process through terminate. These definitions end it at once instead, which is what an uncaught
// throw does in a windowed program anyway, and keep the library's exception objects, text
// formatting and symbol demangler (about a third of the executable) out of both programs. Linked
// into the two programs alone, not into the test programs.
// The names are the ones GCC's libstdc++ calls (bits/functexcept.h); the build checks the linker
// map after every link of either program and fails if the library's own versions come back.
#include <bits/functexcept.h>

#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
}  // namespace std
