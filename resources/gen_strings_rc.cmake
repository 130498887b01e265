# Turns strings.def into a resource script with one STRINGTABLE.
# Usage: cmake -DIN=strings.def -DOUT=strings.rc -P gen_strings_rc.cmake
# Resource scripts double a quote instead of escaping it; the other C escapes are understood.
file(STRINGS "${IN}" lines ENCODING UTF-8)
set(out "// Generated from strings.def; do not edit.\nSTRINGTABLE\nBEGIN\n")
foreach(line IN LISTS lines)
  if(line MATCHES "^STR\\(([0-9]+), \"(.*)\"\\)[ \t]*$")
    set(id "${CMAKE_MATCH_1}")
    set(text "${CMAKE_MATCH_2}")
    string(REPLACE "\\\"" "\"\"" text "${text}")
    string(APPEND out "  ${id}, \"${text}\"\n")
  endif()
endforeach()
string(APPEND out "END\n")
file(WRITE "${OUT}.tmp" "${out}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
