# Compares the freshly drawn app.ico and app.cur in FRESH_DIR with the
# committed ones in COMMITTED_DIR, byte for byte:
#   cmake -DFRESH_DIR=... -DCOMMITTED_DIR=... -P compare_resources.cmake
set(stale "")
foreach(name app.ico app.cur)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E compare_files ${FRESH_DIR}/${name} ${COMMITTED_DIR}/${name}
    RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    list(APPEND stale resources/${name})
  endif()
endforeach()
if(stale)
  list(JOIN stale " and " stale)
  message(FATAL_ERROR "${stale}: not what icon_gen draws now (build the target regen_icons)")
endif()
