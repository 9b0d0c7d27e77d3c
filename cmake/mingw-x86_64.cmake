# Cross build for 64-bit Windows: the program's twin, for running the tests on
# kernels that cannot start 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QP_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
