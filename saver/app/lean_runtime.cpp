// The saver and the installer catch no exceptions: anything the C++ library would throw ends the
// process through terminate. These definitions end it at once instead, which is what an uncaught
// throw does in a windowed program anyway, and keep the library's exception objects, text
// formatting and symbol demangler (about a third of the executable) out of both programs, and with
// the allocation below its exception throwing too. Linked into the two programs alone, not into the
// test programs.
// The names are the ones GCC's libstdc++ calls (bits/functexcept.h); the build checks the linker
// map after every link of either program and fails if the library's own versions come back.
#include <bits/functexcept.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <string>

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

// Allocation ends the process where the library's would throw bad_alloc (or, for a negative array
// length, bad_array_new_length): the same end, without the exception machinery behind them.
void* operator new(std::size_t size) {
    if (void* p = std::malloc(size != 0 ? size : 1)) return p;
    std::abort();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

extern "C" void __cxa_throw_bad_array_new_length() { std::abort(); }

// The library declares its std::string instantiated in itself (string-inst.o): every member of it,
// with the unwind tables that keep each one linked and the exception machinery they call. The
// saver instantiates it here instead, without exceptions, so that only the members it uses stay.
template class std::basic_string<char>;
