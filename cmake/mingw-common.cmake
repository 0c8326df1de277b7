# Shared part of the two mingw-w64 toolchain files; TAVRIN_TRIPLET is set by the caller.
set(CMAKE_C_COMPILER ${TAVRIN_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVRIN_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVRIN_TRIPLET}-windres)
set(CMAKE_AR ${TAVRIN_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${TAVRIN_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")

get_filename_component(_tavrin_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(TAVRIN_DEPS_PREFIX "${_tavrin_root}/build/deps/${TAVRIN_TRIPLET}")

# Headers and libraries come from the mingw sysroot (zlib) and from the locally
# built prefix (libpng, GoogleTest); host packages are never picked up.
set(CMAKE_FIND_ROOT_PATH /usr/${TAVRIN_TRIPLET} ${TAVRIN_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Link zlib statically: the executables must not need zlib1.dll beside them.
set(ZLIB_LIBRARY /usr/${TAVRIN_TRIPLET}/lib/libz.a CACHE FILEPATH "zlib, static")
set(ZLIB_INCLUDE_DIR /usr/${TAVRIN_TRIPLET}/include CACHE PATH "zlib headers")
