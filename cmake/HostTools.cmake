# Tools that must run on the build machine during a cross build: kvtool, built from this same
# source tree with the machine's own compiler (only the kvtool target, no benchmarks), for
# compiling data files. Sets KV_HOST_KVTOOL and the target kv_host_tools.
include_guard(GLOBAL)
include(ExternalProject)

set(KV_HOST_DIR ${CMAKE_BINARY_DIR}/host-tools)
set(KV_HOST_KVTOOL ${KV_HOST_DIR}/bin/kvtool)
find_program(KV_HOST_CXX NAMES g++ c++ clang++ REQUIRED)
find_program(KV_HOST_CC NAMES gcc cc clang REQUIRED)

# With make, $(MAKE) lets the inner build share the outer build's job slots.
if(CMAKE_GENERATOR MATCHES "Make")
  set(kv_host_build $(MAKE) kvtool)
else()
  set(kv_host_build ${CMAKE_COMMAND} --build ${KV_HOST_DIR} --target kvtool)
endif()

ExternalProject_Add(kv_host_tools
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${KV_HOST_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DKV_BENCH=OFF
             -DCMAKE_C_COMPILER=${KV_HOST_CC} -DCMAKE_CXX_COMPILER=${KV_HOST_CXX}
  BUILD_COMMAND ${kv_host_build}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${KV_HOST_KVTOOL}
  USES_TERMINAL_BUILD ON)
