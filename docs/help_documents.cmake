# The help documents, each as the design name of the window that shows it and its file name.
# The build copies the files beside the programs (docs/CMakeLists.txt), the package installs
# them (packaging/), and the windows and the tests find them through the header made here.
set(MORAVIK_HELP_DOCUMENTS Form2:Nitroushelp.rtf Form3:NitrousFAQ.rtf Form4:Nitrous101.rtf)

set(MORAVIK_HELP_FILES)
set(moravik_help_table)
foreach(entry IN LISTS MORAVIK_HELP_DOCUMENTS)
    string(REPLACE ":" ";" parts "${entry}")
    list(GET parts 0 window)
    list(GET parts 1 file)
    list(APPEND MORAVIK_HELP_FILES "${file}")
    string(APPEND moravik_help_table "    {\"${window}\", \"${file}\"},\n")
endforeach()
configure_file("${CMAKE_CURRENT_LIST_DIR}/help_documents.h.in"
               "${PROJECT_BINARY_DIR}/generated/moravik/help_documents.h" @ONLY)
add_library(moravik_help_documents INTERFACE)
target_include_directories(moravik_help_documents INTERFACE "${PROJECT_BINARY_DIR}/generated")
