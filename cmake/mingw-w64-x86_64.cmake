# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads, which Qt's
# std::thread use needs). TABEL_MINGW_PREFIX is the folder scripts/windows-toolchain fills.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TABEL_MINGW_PREFIX "$ENV{TABEL_MINGW_PREFIX}" CACHE PATH "Windows libraries built by scripts/windows-toolchain")
if(NOT TABEL_MINGW_PREFIX)
    set(TABEL_MINGW_PREFIX /var/cache/tabel-mingw CACHE PATH "" FORCE)
endif()

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 "${TABEL_MINGW_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must see only the Windows libraries.
set(ENV{PKG_CONFIG_LIBDIR} "${TABEL_MINGW_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Tests and tools built here run under Wine, through a runner that copes with its exit hang.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run-test)

# Qt's host tools (moc, rcc, uic) are Debian's, of the same release as the Windows Qt.
if(NOT QT_HOST_PATH)
    set(QT_HOST_PATH /usr CACHE PATH "")
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
endif()
