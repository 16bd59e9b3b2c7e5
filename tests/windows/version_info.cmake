# The version report under Wine: the program that does what the Win32 main
# window's creation does for it, the tests that drive its outputs and its
# window, and the check of its printouts from Linux. The windows need an X
# display: TM_WINE_DISPLAY (scripts/xvfb).
add_executable(version_probe version_probe.cpp)
target_link_libraries(version_probe PRIVATE tm_gui_start tm_versioninfo tm_toolkit_win32)

add_executable(version_info_tests version_info_test.cpp window_driver.cpp layout_differences.cpp)
target_link_libraries(version_info_tests PRIVATE tm_versioninfo tm_windows_test_support gtest_main
                      gdi32 advapi32)
set_target_properties(version_probe version_info_tests PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${tm_windows_out})
add_dependencies(version_info_tests version_probe standin_gds32)

# The printouts reach the real queue "PDF": these tests come from the script.
add_test(NAME version_info_tests COMMAND version_info_tests --gtest_filter=-VersionPrintout.*)
add_test(NAME version_printout_tests
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/version_printout_test.sh
          ${CMAKE_SOURCE_DIR} ${tm_windows_out} ${CMAKE_BINARY_DIR}/wine)
set_tests_properties(version_info_tests version_printout_tests PROPERTIES
  TIMEOUT 300 RESOURCE_LOCK print_queue)
