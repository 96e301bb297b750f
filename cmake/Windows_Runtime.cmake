# The Windows cross build's programs run under Wine from the build folder
# bin/, which must then hold what they need, as the program folder does: the
# DLLs of Qt, OpenSSL and pugixml from the libraries' prefix, MinGW's runtime,
# and Qt's plugins in the folders Qt looks for beside the executable.
# Copied once when the build is configured (and again when the prefix is newer).

get_filename_component(SW_MINGW_QT "${Qt6_DIR}/../../.." ABSOLUTE)
get_filename_component(SW_MINGW_ROOT "${SW_MINGW_QT}/.." ABSOLUTE)
set(SW_RUNTIME_DIR ${CMAKE_BINARY_DIR}/bin)

file(GLOB SW_PREFIX_DLLS ${SW_MINGW_QT}/bin/*.dll ${SW_MINGW_ROOT}/openssl/bin/*.dll ${SW_MINGW_ROOT}/pugixml/bin/*.dll)
# MinGW's runtime: the compiler's own and the POSIX threads library.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE SW_LIBSTDCXX OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libgcc_s_seh-1.dll
                OUTPUT_VARIABLE SW_LIBGCC OUTPUT_STRIP_TRAILING_WHITESPACE)
find_file(SW_WINPTHREAD libwinpthread-1.dll PATHS /usr/x86_64-w64-mingw32/lib NO_DEFAULT_PATH REQUIRED)
set(SW_MINGW_RUNTIME_DLLS ${SW_LIBSTDCXX} ${SW_LIBGCC} ${SW_WINPTHREAD} CACHE INTERNAL "")
foreach(Dll IN LISTS SW_PREFIX_DLLS SW_MINGW_RUNTIME_DLLS)
  if(NOT EXISTS ${Dll})
    message(FATAL_ERROR "missing Windows runtime library: ${Dll}")
  endif()
  file(COPY ${Dll} DESTINATION ${SW_RUNTIME_DIR})
endforeach()
foreach(Plugins platforms styles imageformats tls)
  if(EXISTS ${SW_MINGW_QT}/plugins/${Plugins})
    file(COPY ${SW_MINGW_QT}/plugins/${Plugins} DESTINATION ${SW_RUNTIME_DIR} FILES_MATCHING PATTERN "*.dll")
  endif()
endforeach()

# Programs of the build run through Wine (CTest, and the build's own steps
# that run one), each with a time-out.
find_program(SW_WINE wine)
if(SW_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)
endif()

# Qt's own texts in the shipped languages (Debian's Qt translations, the
# same files for every system), in translations/ beside the programs, where
# the program looks for them on Windows.
file(GLOB SW_QT_TRANSLATIONS /usr/share/qt6/translations/qtbase_de.qm /usr/share/qt6/translations/qtbase_es.qm
     /usr/share/qt6/translations/qtbase_fr.qm /usr/share/qt6/translations/qtbase_it.qm)
if(SW_QT_TRANSLATIONS)
  file(COPY ${SW_QT_TRANSLATIONS} DESTINATION ${SW_RUNTIME_DIR}/translations)
endif()

# Qt's offscreen platform on Windows reads its fonts from lib/fonts beside
# the Qt libraries (here bin/lib/fonts), not from the system: the tests' GUI
# runs under Wine get the build machine's DejaVu fonts there.
file(GLOB SW_OFFSCREEN_FONTS /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf)
if(SW_OFFSCREEN_FONTS)
  file(COPY ${SW_OFFSCREEN_FONTS} DESTINATION ${SW_RUNTIME_DIR}/lib/fonts)
endif()
