# Writes the text to the file unless the file holds it already: a file
# rewritten unchanged at every configure would rebuild all that uses it.
function(kalmi_write_if_changed path text)
  set(current "")
  if(EXISTS "${path}")
    file(READ "${path}" current)
  endif()
  if(NOT current STREQUAL text)
    file(WRITE "${path}" "${text}")
  endif()
endfunction()
