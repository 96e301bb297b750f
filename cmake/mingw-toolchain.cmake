# Cross-building the Windows x64 program on Debian with MinGW-w64 (POSIX
# threads). The Windows libraries (Qt, OpenSSL, pugixml, libcsv, the pcap
# headers) come from one prefix, built by scripts/windows-sysroot.sh; it is
# looked for in SW_MINGW_PREFIX (environment or cache), else in build/sw-mingw
# of this checkout, where scripts/windows.sh unpacks it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT SW_MINGW_PREFIX)
  if(DEFINED ENV{SW_MINGW_PREFIX})
    set(SW_MINGW_PREFIX $ENV{SW_MINGW_PREFIX})
  else()
    get_filename_component(SW_MINGW_PREFIX ${CMAKE_CURRENT_LIST_DIR}/../build/sw-mingw ABSOLUTE)
  endif()
endif()
# try_compile projects see the toolchain file again, with nothing cached.
set(ENV{SW_MINGW_PREFIX} ${SW_MINGW_PREFIX})

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32
    ${SW_MINGW_PREFIX}/qt6 ${SW_MINGW_PREFIX}/openssl ${SW_MINGW_PREFIX}/pugixml
    ${SW_MINGW_PREFIX}/libcsv ${SW_MINGW_PREFIX}/pcap ${SW_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's host tools (moc, rcc) are the build machine's own, of the same version.
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
set(CMAKE_PREFIX_PATH ${SW_MINGW_PREFIX}/qt6 CACHE PATH "")
set(OPENSSL_ROOT_DIR ${SW_MINGW_PREFIX}/openssl CACHE PATH "")
