# The MinGW-w64 cross compiler named by QP_MINGW (its target triplet), posix
# threads (for std::thread in gtest). Included by the two toolchain files.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${QP_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QP_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${QP_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QP_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
