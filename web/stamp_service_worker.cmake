# cmake -DDIR=FOLDER -P stamp_service_worker.cmake
# Names the service worker's cache after the app's files, so that any change
# to them changes sw.js and browsers fetch the new set whole.
file(GLOB names RELATIVE "${DIR}" "${DIR}/*")
list(REMOVE_ITEM names sw.js)
list(SORT names)
set(digests "")
foreach(name IN LISTS names)
  file(SHA256 "${DIR}/${name}" digest)
  string(APPEND digests "${name} ${digest}\n")
endforeach()
string(SHA256 version "${digests}")
string(SUBSTRING "${version}" 0 16 version)
file(READ "${DIR}/sw.js" text)
string(REPLACE "@APP_VERSION@" "${version}" text "${text}")
file(WRITE "${DIR}/sw.js" "${text}")
