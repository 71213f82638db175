# cmake -DTEMPLATE=page.html -DPAGE=app/runs.html -DOUT=FOLDER/runs.html -P make_page.cmake
# A page is its <main> after a first line <!-- subtitle | script -->; the
# template gives every page the same head, policy and links, the page's own
# link marked as the one shown.
file(READ "${TEMPLATE}" text)
file(READ "${PAGE}" page)
if(NOT page MATCHES "^<!-- ([^|\n]+) \\| ([^ \n]+) -->\n(.*)$")
  message(FATAL_ERROR "${PAGE} does not start with <!-- subtitle | script -->")
endif()
set(subtitle "${CMAKE_MATCH_1}")
set(script "${CMAKE_MATCH_2}")
set(main "${CMAKE_MATCH_3}")
get_filename_component(name "${PAGE}" NAME)
string(REPLACE "<a href=\"${name}\">" "<a href=\"${name}\" aria-current=\"page\">" text "${text}")
string(REPLACE "@SUBTITLE@" "${subtitle}" text "${text}")
string(REPLACE "@SCRIPT@" "${script}" text "${text}")
string(REPLACE "@MAIN@" "${main}" text "${text}")
file(WRITE "${OUT}" "${text}")
