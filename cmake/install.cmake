# Install rules, the zip packages (CPack) and the installers (NSIS).
#
#   cmake --install BUILD --prefix DIR   a self-contained installation in DIR
#   cmake --build BUILD --target package     packages/uasedit-V-win64.zip (win32)
#   cmake --build BUILD --target installer   packages/uasedit-V-win64-setup.exe
#
# The installation keeps the layout the programs expect: bin/ holds the
# programs, their libraries and the profile; res/ the resource libraries;
# data/ the units data and help; sets/ the sets. Its profile names every
# folder relative to bin/, so the folder can be unzipped anywhere.

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(UAS_PACKAGE_ARCH win64)
else()
    set(UAS_PACKAGE_ARCH win32)
endif()
set(UAS_PACKAGE_DIR ${CMAKE_BINARY_DIR}/packages)

# The profiles as shipped, with Windows line ends so that Notepad shows them
# as lines: the portable one for the zip and cmake --install, the installer's
# one with the sets in the user's application data.
set(UAS_PROFILE_DIR ${CMAKE_BINARY_DIR}/packaging)
configure_file(${PROJECT_SOURCE_DIR}/packaging/kalvex-portable.ini.in
               ${UAS_PROFILE_DIR}/portable/kalvex.ini @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/packaging/kalvex-installed.ini.in
               ${UAS_PROFILE_DIR}/installed/kalvex.ini @ONLY NEWLINE_STYLE CRLF)
# The zip's word on how to start it, where the sets go and how to choose the
# language (the installer leaves it out: its sets live elsewhere).
configure_file(${PROJECT_SOURCE_DIR}/packaging/README.txt.in
               ${UAS_PROFILE_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)

# Import libraries are for building against the libraries, not for users.
install(TARGETS uasedit vel32 velw32 velx32
        RUNTIME DESTINATION bin
        ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
install(TARGETS ${UAS_COMMON_LIBRARIES} ${UAS_STRING_LIBRARIES}
        RUNTIME DESTINATION res
        ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
install(FILES ${UAS_PROFILE_DIR}/portable/kalvex.ini DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/installation/demo/units.txt DESTINATION data)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/installation/demo/help/ DESTINATION data/help)
install(DIRECTORY DESTINATION sets)
install(FILES ${UAS_PROFILE_DIR}/README.txt DESTINATION .)

# The zip: the installation under one folder named like the zip.
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME uasedit)
set(CPACK_PACKAGE_VENDOR "${UAS_VER_COMPANY}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Unit Assignment Set Editor")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME uasedit-${PROJECT_VERSION}-${UAS_PACKAGE_ARCH})
set(CPACK_PACKAGE_DIRECTORY ${UAS_PACKAGE_DIR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)

# The installer: the same install rules into a staging folder, then makensis
# over it. The x86_64 build gives a 64-bit installer, the i686 build a 32-bit
# one.
find_program(UAS_MAKENSIS makensis)
if(UAS_MAKENSIS)
    set(stage ${CMAKE_BINARY_DIR}/packaging/stage)
    set(setup_name uasedit-${PROJECT_VERSION}-${UAS_PACKAGE_ARCH}-setup.exe)
    set(setup ${UAS_PACKAGE_DIR}/${setup_name})
    set(nsis_texts "")
    foreach(entry ${UAS_LANGUAGES})
        uas_language_fields("${entry}")
        list(APPEND nsis_texts ${PROJECT_SOURCE_DIR}/packaging/lang/${LANG_CODE}.nsh)
    endforeach()
    add_custom_target(installer
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
        COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${stage} --strip
        COMMAND ${CMAKE_COMMAND} -DSTAGE=${stage} -DOUT=${CMAKE_BINARY_DIR}/packaging
                -P ${PROJECT_SOURCE_DIR}/packaging/filelist.cmake
        COMMAND ${CMAKE_COMMAND} -E make_directory ${UAS_PACKAGE_DIR}
        COMMAND ${UAS_MAKENSIS} -V2 -NOCD -INPUTCHARSET UTF8
                -DVERSION=${PROJECT_VERSION} -DARCH=${UAS_PACKAGE_ARCH}
                -DSTAGE=${stage} -DLISTS=${CMAKE_BINARY_DIR}/packaging
                -DPROFILE=${UAS_PROFILE_DIR}/installed/kalvex.ini
                -DICON=${UAS_ICON_FILE} -DOUTFILE=${setup} -DOUTFILE_NAME=${setup_name}
                -DPUBLISHER=${UAS_VER_COMPANY} -DCOPYRIGHT=${UAS_VER_COPYRIGHT}
                ${PROJECT_SOURCE_DIR}/packaging/uasedit.nsi
        DEPENDS uasedit vel32 velw32 velx32 ${UAS_COMMON_LIBRARIES} ${UAS_STRING_LIBRARIES}
                ${PROJECT_SOURCE_DIR}/packaging/uasedit.nsi ${nsis_texts}
                ${CMAKE_BINARY_DIR}/packaging/languages.nsh
        BYPRODUCTS ${setup}
        COMMENT "Building the installer ${setup}"
        VERBATIM)
endif()
