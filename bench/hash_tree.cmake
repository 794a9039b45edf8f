# hash_tree(DIR OUT): the SHA-256 of a folder's files, names and bytes, in
# name order; the same folder content gives the same hash on every host.
function(hash_tree dir out)
  file(GLOB names RELATIVE "${dir}" "${dir}/*")
  list(SORT names)
  set(summary "")
  foreach(name IN LISTS names)
    file(SHA256 "${dir}/${name}" file_hash)
    string(APPEND summary "${name} ${file_hash}\n")
  endforeach()
  string(SHA256 hash "${summary}")
  set(${out} "${hash}" PARENT_SCOPE)
endfunction()

# As a script: cmake -DDIR=... -P hash_tree.cmake prints "hash <hex>".
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE AND DEFINED DIR)
  hash_tree("${DIR}" hash)
  message("hash ${hash}")
endif()
