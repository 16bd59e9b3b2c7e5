# The package that a Windows user downloads: both programs and a short German
# how-to in Windows-1252 with CR LF line ends, as
# build/windows/dist/tessaldrin-mover-VERSION-windows.zip.
set(tm_dist ${CMAKE_BINARY_DIR}/dist)
set(tm_dist_files ${tm_dist}/files)
set(tm_zip ${tm_dist}/tessaldrin-mover-${PROJECT_VERSION}-windows.zip)
file(MAKE_DIRECTORY ${tm_dist_files})
# The line ends now, the code page at build time.
configure_file(${CMAKE_SOURCE_DIR}/platform/windows/resources/LIESMICH.txt ${tm_dist}/LIESMICH.utf8.txt
  @ONLY NEWLINE_STYLE CRLF)
find_program(TM_ICONV iconv REQUIRED)
add_custom_command(OUTPUT ${tm_zip}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tessaldrin-mover>
          $<TARGET_FILE:tessaldrin-mover-cli> ${tm_dist_files}
  COMMAND ${TM_ICONV} -f UTF-8 -t WINDOWS-1252 -o ${tm_dist_files}/LIESMICH.txt
          ${tm_dist}/LIESMICH.utf8.txt
  COMMAND ${CMAKE_COMMAND} -E tar cf ${tm_zip} --format=zip
          tessaldrin-mover.exe tessaldrin-mover-cli.exe LIESMICH.txt
  WORKING_DIRECTORY ${tm_dist_files}
  DEPENDS tessaldrin-mover tessaldrin-mover-cli ${tm_dist}/LIESMICH.utf8.txt
  COMMENT "Packing ${tm_zip}")
add_custom_target(windows_package ALL DEPENDS ${tm_zip})
