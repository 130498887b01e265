# Gathers the program folder as it is installed: the programs without their debugging
# information, the data files, the alarm sounds and the help when the build has made it.
# Called by installer/CMakeLists.txt with -DBIN=, -DSTAGE=, -DSTRIP= (empty: copied as they are),
# -DKALVORA=, -DKVTOOL=.
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}")
foreach(program IN ITEMS "${KALVORA}" "${KVTOOL}")
  get_filename_component(name "${program}" NAME)
  if(NOT STRIP)
    file(COPY "${program}" DESTINATION "${STAGE}")
    continue()
  endif()
  execute_process(COMMAND "${STRIP}" --strip-debug -o "${STAGE}/${name}" "${program}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not strip ${program}")
  endif()
endforeach()
foreach(name DEFAULT.DAT KVLOCATION.DAT KVLOCAL_40.DAT KVTZX.DAT KVTZNAMES.DAT)
  file(COPY "${BIN}/${name}" DESTINATION "${STAGE}")
endforeach()
file(COPY "${BIN}/Data" "${BIN}/Alarms" DESTINATION "${STAGE}")
if(EXISTS "${BIN}/kalvora.chm")
  file(COPY "${BIN}/kalvora.chm" DESTINATION "${STAGE}")
endif()
