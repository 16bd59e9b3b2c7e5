# The string table resource that LoadStringA reads: generated at build time
# from the message table in load_string.cpp, by a tool built for the build
# machine, and compiled by windres into every executable that links
# tm_platform (a resource is found only in the executable's own image).
find_program(TM_HOST_CXX NAMES c++ g++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(tm_rc_tool ${CMAKE_CURRENT_BINARY_DIR}/message_table_rc)
set(tm_rc_script ${CMAKE_CURRENT_BINARY_DIR}/messages.rc)
add_custom_command(OUTPUT ${tm_rc_tool}
  COMMAND ${TM_HOST_CXX} -std=c++20 -O1 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR}
          ${CMAKE_CURRENT_SOURCE_DIR}/load_string.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/windows/message_table_rc.cpp -o ${tm_rc_tool}
  DEPENDS load_string.cpp load_string.h message_table.h windows/message_table_rc.cpp
  COMMENT "Building the message table tool for the build machine")
add_custom_command(OUTPUT ${tm_rc_script}
  COMMAND ${tm_rc_tool} ${tm_rc_script}
  DEPENDS ${tm_rc_tool}
  COMMENT "Writing the message table as a Windows-1252 string table")
add_library(tm_message_resource OBJECT ${tm_rc_script})
target_link_libraries(tm_platform INTERFACE $<TARGET_OBJECTS:tm_message_resource>)
