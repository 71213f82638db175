# The installation layout, shared by the programs' own folders.
#
# The windows read their help documents from the folder of their own
# executable, so the programs and the documents share one application folder,
# lib/moravik. bin/ holds relative symbolic links into it; Qt resolves the link
# when it reports the application's folder, so a start through the link finds
# the documents too.
set(moravik_app_folder lib/moravik)

# Installs a program into the application folder and links bin/<program> to
# it. DESTDIR is honoured, so staged installs (CPack, distribution builds) get
# the link inside the staging root; the link is listed in the install manifest
# like every other installed file: by its final path, without DESTDIR.
function(moravik_install_program target)
    install(TARGETS ${target} RUNTIME DESTINATION ${moravik_app_folder})
    set(program $<TARGET_FILE_NAME:${target}>)
    install(CODE "
        set(link \"\${CMAKE_INSTALL_PREFIX}/bin/${program}\")
        set(staged_link \"\$ENV{DESTDIR}\${link}\")
        message(STATUS \"Installing: \${staged_link} -> ../${moravik_app_folder}/${program}\")
        file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
        file(REMOVE \"\${staged_link}\")
        file(CREATE_LINK \"../${moravik_app_folder}/${program}\" \"\${staged_link}\" SYMBOLIC)
        list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")
    ")
endfunction()

# Configures FILE (@PROJECT_VERSION@ and the like) into the build folder and
# installs it compressed into DESTINATION, as Debian expects manual pages and
# changelogs; -n keeps the archive free of time stamps, so rebuilds give
# identical packages.
function(moravik_install_compressed file destination)
    get_filename_component(name "${file}" NAME)
    set(configured "${CMAKE_CURRENT_BINARY_DIR}/${name}")
    configure_file("${file}" "${configured}" @ONLY)
    add_custom_command(
        OUTPUT "${configured}.gz"
        COMMAND gzip -9 -n -f -k "${configured}"
        DEPENDS "${configured}"
        COMMENT "Compressing ${name}"
        VERBATIM)
    add_custom_target(moravik_compress_${name} ALL DEPENDS "${configured}.gz")
    install(FILES "${configured}.gz" DESTINATION ${destination})
endfunction()
