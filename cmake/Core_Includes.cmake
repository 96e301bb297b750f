# The core must not see a widget: no source of it may include a header of Qt's
# GUI modules (by module path, <QtWidgets/QLabel>, or by class or file name,
# <QLabel>, <qpainter.h>) or a window or widget header of this project (TF*,
# Ui_*). The core does not link those modules, but their headers lie beside
# Qt Core's, and an inline-only use would compile and link; hence this check.
#
# Included from a CMakeLists.txt it offers sw_refuse_widget_includes(); run
# with cmake -P it checks the files listed in SW_SOURCES_FILE against the
# names listed in SW_REFUSED_NAMES_FILE and fails with every offending line.

cmake_policy(VERSION 3.25)

set(SW_GUI_MODULES QtGui QtWidgets QtOpenGL QtOpenGLWidgets QtPrintSupport QtSvg QtSvgWidgets)

# The offending include lines of File ("line: text"), in Out.
function(sw_widget_includes File Refused_Names Out)
  set(Found)
  # One list entry per line: the semicolons of the text go first.
  file(READ ${File} Text)
  string(REPLACE ";" "," Text "${Text}")
  string(REPLACE "\n" ";" Lines "${Text}")
  set(Number 0)
  foreach(Line IN LISTS Lines)
    math(EXPR Number "${Number} + 1")
    if(NOT Line MATCHES "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"]")
      continue()
    endif()
    set(Header ${CMAKE_MATCH_1})
    get_filename_component(Name ${Header} NAME)
    string(REGEX MATCH "^[^/]+" First ${Header})
    if(First IN_LIST SW_GUI_MODULES OR Name MATCHES "^(TF|Ui_)" OR (NOT Header MATCHES "/" AND Name IN_LIST Refused_Names))
      list(APPEND Found "${Number}: ${Line}")
    endif()
  endforeach()
  set(${Out} ${Found} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND SW_SOURCES_FILE)
  file(STRINGS ${SW_REFUSED_NAMES_FILE} Refused_Names)
  file(STRINGS ${SW_SOURCES_FILE} Sources)
  set(Report)
  foreach(Source IN LISTS Sources)
    sw_widget_includes(${Source} "${Refused_Names}" Found)
    foreach(Hit IN LISTS Found)
      string(APPEND Report "\n  ${Source}:${Hit}")
    endforeach()
  endforeach()
  if(Report)
    message(FATAL_ERROR "A core source includes a widget or GUI header:${Report}")
  endif()
  return()
endif()

# The header names of Qt's GUI modules as installed here, less any name a
# module the core may use also has.
function(sw_write_refused_names File)
  get_target_property(Gui_Dirs Qt6::Gui INTERFACE_INCLUDE_DIRECTORIES)
  list(FILTER Gui_Dirs INCLUDE REGEX "/QtGui$")
  list(GET Gui_Dirs 0 Gui_Dir)
  get_filename_component(Qt_Include_Dir ${Gui_Dir} DIRECTORY)
  set(Names)
  foreach(Module IN LISTS SW_GUI_MODULES)
    file(GLOB Headers LIST_DIRECTORIES false RELATIVE ${Qt_Include_Dir}/${Module} ${Qt_Include_Dir}/${Module}/*)
    list(APPEND Names ${Headers})
  endforeach()
  foreach(Module QtCore QtNetwork QtTest QtXml)
    file(GLOB Headers LIST_DIRECTORIES false RELATIVE ${Qt_Include_Dir}/${Module} ${Qt_Include_Dir}/${Module}/*)
    if(Headers)
      list(REMOVE_ITEM Names ${Headers})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES Names)
  list(JOIN Names "\n" Text)
  file(WRITE ${File}.new "${Text}\n")
  file(COPY_FILE ${File}.new ${File} ONLY_IF_DIFFERENT)
endfunction()

# Refuses, at build time, a widget or GUI include in any of Sources: Target
# is not built while one is there.
function(sw_refuse_widget_includes Target)
  set(Names_File ${CMAKE_BINARY_DIR}/sw_refused_includes.txt)
  sw_write_refused_names(${Names_File})
  set(Sources_File ${CMAKE_CURRENT_BINARY_DIR}/${Target}_checked_sources.txt)
  list(JOIN ARGN "\n" Text)
  file(WRITE ${Sources_File}.new "${Text}\n")
  file(COPY_FILE ${Sources_File}.new ${Sources_File} ONLY_IF_DIFFERENT)
  set(Stamp ${CMAKE_CURRENT_BINARY_DIR}/${Target}_includes_checked.stamp)
  add_custom_command(
    OUTPUT ${Stamp}
    COMMAND ${CMAKE_COMMAND} -DSW_SOURCES_FILE=${Sources_File} -DSW_REFUSED_NAMES_FILE=${Names_File}
            -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMAND ${CMAKE_COMMAND} -E touch ${Stamp}
    DEPENDS ${ARGN} ${Sources_File} ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Checking that ${Target} includes no widget or GUI header"
    VERBATIM)
  add_custom_target(${Target}_include_check DEPENDS ${Stamp})
  add_dependencies(${Target} ${Target}_include_check)
  set(SW_REFUSED_NAMES_FILE ${Names_File} CACHE INTERNAL "")
endfunction()
