# Run after the saver or the installer links (cmake -DMAP=<linker map> -P this file). lean_runtime.cpp
# replaces the C++ library's throwing helpers, terminate handler, allocation and std::string
# instantiation; if a toolchain stops calling them by those names, or new code calls what only the
# library has (its streams, say), the library's own objects come back, and with them its exception
# formatting, symbol demangler and unwinder (half of the module). The linker map shows which objects
# went in.
file(READ "${MAP}" map)
foreach(member functexcept.o vterminate.o cp-demangle.o string-inst.o unwind-dw2.o)
  string(FIND "${map}" "(${member})" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "${MAP}: the C++ library's ${member} was linked in; "
                        "saver/app/lean_runtime.cpp no longer replaces it for this toolchain")
  endif()
endforeach()
