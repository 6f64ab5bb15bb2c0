# How a layer is declared. Each layer is one static library that names the layers it uses with
# target_link_libraries; nothing else links it to them.

# The version header, generated from project(VERSION).
set(VELLORA_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/cmake/vellora_version.h.in ${VELLORA_GENERATED_DIR}/vellora_version.h @ONLY)
add_library(vellora_version INTERFACE)
target_include_directories(vellora_version INTERFACE ${VELLORA_GENERATED_DIR})

# Links the whole of a layer into an empty program with only its declared links, so that a call
# into an undeclared layer fails the build instead of being resolved by whatever links it later.
function(vellora_link_check name)
  add_executable(${name}_link_check ${PROJECT_SOURCE_DIR}/cmake/link_check.cpp)
  target_link_libraries(${name}_link_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${name}>")
endfunction()

# A portable layer: plain C++17 for every target. A poisoned windows.h stands first on its include
# path, so Windows code in it fails to build, on the host and on Windows alike.
function(vellora_portable_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_include_directories(${name} BEFORE PRIVATE ${PROJECT_SOURCE_DIR}/cmake/portable)
  vellora_link_check(${name})
endfunction()
