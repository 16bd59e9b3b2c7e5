# Layout tables made at build time from a window's Qt Designer file
# (toolkit/ui_layout_tables.py), into the generated include tree.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(TM_UI_LAYOUT_TABLES ${CMAKE_CURRENT_LIST_DIR}/ui_layout_tables.py)

# tm_ui_layout_tables(TARGET UI DATA header NAMESPACE ns [WIN32 header WIN32_NAMESPACE ns])
# makes from UI the toolkit-free table DATA and, where given, the Win32 table
# WIN32 (paths below the generated include tree), and adds them to the
# interface library TARGET, whose users are built once they are made.
function(tm_ui_layout_tables target ui)
  cmake_parse_arguments(arg "" "DATA;NAMESPACE;WIN32;WIN32_NAMESPACE" "" ${ARGN})
  set(out ${CMAKE_BINARY_DIR}/generated)
  set(outputs ${out}/${arg_DATA})
  set(command --ui ${ui} --data ${out}/${arg_DATA} --data-namespace ${arg_NAMESPACE})
  if(arg_WIN32)
    list(APPEND outputs ${out}/${arg_WIN32})
    list(APPEND command --win32 ${out}/${arg_WIN32} --win32-namespace ${arg_WIN32_NAMESPACE})
  endif()
  add_custom_command(OUTPUT ${outputs}
    COMMAND Python3::Interpreter ${TM_UI_LAYOUT_TABLES} ${command}
    DEPENDS ${ui} ${TM_UI_LAYOUT_TABLES}
    COMMENT "Layout tables of ${ui}"
    VERBATIM)
  get_filename_component(name ${ui} NAME_WE)
  add_custom_target(${target}_${name} DEPENDS ${outputs})
  if(NOT TARGET ${target})
    add_library(${target} INTERFACE)
  endif()
  add_dependencies(${target} ${target}_${name})
endfunction()
