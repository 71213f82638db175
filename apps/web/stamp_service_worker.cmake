# cmake -DDIR=FOLDER -P stamp_service_worker.cmake
# Writes into sw.js the files it keeps, which are every other file the build
# put in the folder, and names its cache after them, so that any change to
# them changes sw.js and browsers fetch the new set whole.
file(GLOB names RELATIVE "${DIR}" "${DIR}/*")
list(REMOVE_ITEM names sw.js)
list(SORT names)
set(digests "")
set(files "")
foreach(name IN LISTS names)
  file(SHA256 "${DIR}/${name}" digest)
  string(APPEND digests "${name} ${digest}\n")
  list(APPEND files "\"${name}\"")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING "${version}" 0 16 version)
list(JOIN files ", " files)
file(READ "${DIR}/sw.js" text)
string(REPLACE "@APP_VERSION@" "${version}" text "${text}")
string(REPLACE "@APP_FILES@" "${files}" text "${text}")
file(WRITE "${DIR}/sw.js" "${text}")
