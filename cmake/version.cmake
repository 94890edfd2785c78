# Version resources: every shipped binary says what it is and which version
# of the product it belongs to. The numbers come only from project(VERSION).
set(UAS_VER_PRODUCT "Unit Assignment Set Editor")
# The maker, as the uninstall entry's publisher and the zip's vendor name it.
set(UAS_VER_COMPANY "Kalvex")
# As the product information window shows it (installation/common/lang).
set(UAS_VER_COPYRIGHT "Copyright © 2026 Kalvex. All rights reserved.")

# What each shipped binary is, and the language of its texts (a Windows
# language ID; US English for the language-neutral ones). The resource
# libraries are those of cmake/languages.cmake.
set(UAS_VER_DESC_uasedit  "Unit Assignment Set Editor")
set(UAS_VER_DESC_vel32    "Kalvex general support library")
set(UAS_VER_DESC_velw32   "Kalvex window support library")
set(UAS_VER_DESC_velx32   "Kalvex units library")
foreach(entry ${UAS_LANGUAGES})
    uas_language_fields("${entry}")
    set(UAS_VER_DESC_kxcommo${LANG_SUFFIX} "Kalvex common resources (${LANG_NAME})")
    set(UAS_VER_LANG_kxcommo${LANG_SUFFIX} ${LANG_ID})
    if(NOT LANG_VALUE STREQUAL "")
        set(UAS_VER_DESC_uasedit${LANG_SUFFIX} "Unit Assignment Set Editor texts (${LANG_NAME})")
        set(UAS_VER_LANG_uasedit${LANG_SUFFIX} ${LANG_ID})
    endif()
endforeach()

# uas_version_resource(TARGET): links a version resource into TARGET when it
# is one of the shipped binaries above; test binaries stay without one.
function(uas_version_resource target)
    if(NOT DEFINED UAS_VER_DESC_${target})
        return()
    endif()
    set(UAS_VER_MAJOR ${PROJECT_VERSION_MAJOR})
    set(UAS_VER_MINOR ${PROJECT_VERSION_MINOR})
    set(UAS_VER_PATCH ${PROJECT_VERSION_PATCH})
    set(UAS_VER_DESCRIPTION "${UAS_VER_DESC_${target}}")
    set(UAS_VER_INTERNAL ${target})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        set(UAS_VER_FILETYPE VFT_APP)
        set(UAS_VER_FILENAME ${target}.exe)
    else()
        set(UAS_VER_FILETYPE VFT_DLL)
        set(UAS_VER_FILENAME ${target}.dll)
    endif()
    set(UAS_VER_LANGID 0x0409)
    if(DEFINED UAS_VER_LANG_${target})
        set(UAS_VER_LANGID ${UAS_VER_LANG_${target}})
    endif()
    # The string block is named by language and code page (1200: UTF-16).
    string(SUBSTRING "${UAS_VER_LANGID}" 2 4 lang)
    string(TOLOWER "${lang}04b0" UAS_VER_BLOCK)
    set(rc ${CMAKE_BINARY_DIR}/version/${target}.rc)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
