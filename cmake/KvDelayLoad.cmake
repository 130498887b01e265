# Delay-loaded system libraries of the Windows program. A library imported the ordinary way is
# loaded before WinMain runs, and the loader looks for it (and for what it imports in turn) in
# the program's own folder first: a comdlg32.dll or uxtheme.dll planted beside a downloaded
# kalvora.exe would be loaded. Delay-loaded, a library is loaded at its first call, after WinMain
# has restricted the search to the system folder (base/system_library_win.h).
#
#   kv_delay_load(TARGET library...)
# makes a delay-import library of each system library from the names its import library
# exports, and links the target with it.
include_guard(GLOBAL)

function(kv_delay_load target)
  find_program(KV_DLLTOOL NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-dlltool x86_64-w64-mingw32-dlltool dlltool REQUIRED)
  set(out ${CMAKE_BINARY_DIR}/delay-load)
  file(MAKE_DIRECTORY ${out})
  foreach(name IN LISTS ARGN)
    find_library(KV_IMPORT_${name} NAMES ${name} REQUIRED)
    set(def ${out}/${name}.def)
    set(lib ${out}/lib${name}_delay.a)
    if(NOT EXISTS ${lib} OR ${KV_IMPORT_${name}} IS_NEWER_THAN ${lib})
      execute_process(COMMAND ${CMAKE_NM} ${KV_IMPORT_${name}} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
      string(REGEX MATCHALL "I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
      list(TRANSFORM imports REPLACE "^I __imp_" "")
      list(REMOVE_DUPLICATES imports)
      list(JOIN imports "\n  " exports)
      file(WRITE ${def} "LIBRARY ${name}.dll\nEXPORTS\n  ${exports}\n")
      execute_process(COMMAND ${KV_DLLTOOL} --def ${def} --dllname ${name}.dll --output-delaylib ${lib}
                      COMMAND_ERROR_IS_FATAL ANY)
    endif()
    target_link_libraries(${target} PRIVATE ${lib})
  endforeach()
endfunction()
