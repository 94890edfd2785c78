# Writes the installer's file lists from the staged installation, so that the
# installer installs and its uninstaller removes exactly what the install
# rules lay out:
#   OUT/files.nsh    SetOutPath and File lines
#   OUT/unfiles.nsh  Delete lines, then RMDir lines, deepest folder first
# The staged profile (the portable one), the zip's README.txt and the empty
# set folder are left out: the installer brings its own profile, and sets
# live per user.
#
#   cmake -DSTAGE=dir -DOUT=dir -P filelist.cmake
if(NOT STAGE OR NOT OUT)
    message(FATAL_ERROR "usage: cmake -DSTAGE=dir -DOUT=dir -P filelist.cmake")
endif()
file(GLOB_RECURSE files RELATIVE ${STAGE} ${STAGE}/*)
list(REMOVE_ITEM files bin/kalvex.ini README.txt)
list(SORT files)
if(NOT files)
    message(FATAL_ERROR "nothing staged in ${STAGE}")
endif()

set(install "")
set(remove "")
set(dirs "")
set(lastdir "-")
foreach(f ${files})
    get_filename_component(dir ${f} DIRECTORY)
    string(REPLACE "/" "\\" wdir "${dir}")
    string(REPLACE "/" "\\" wf "${f}")
    if(NOT dir STREQUAL lastdir)
        string(APPEND install "SetOutPath \"$INSTDIR\\${wdir}\"\n")
        set(lastdir ${dir})
    endif()
    string(APPEND install "File \"${STAGE}/${f}\"\n")
    string(APPEND remove "Delete \"$INSTDIR\\${wf}\"\n")
    # Every folder up to the top, so that RMDir empties the whole tree.
    while(dir)
        list(APPEND dirs ${dir})
        get_filename_component(dir ${dir} DIRECTORY)
    endwhile()
endforeach()
list(REMOVE_DUPLICATES dirs)
# Longest path first: a folder comes before the folder that holds it.
set(keyed "")
foreach(d ${dirs})
    string(LENGTH "${d}" n)
    math(EXPR n "1000 - ${n}")
    list(APPEND keyed "${n}|${d}")
endforeach()
list(SORT keyed)
foreach(k ${keyed})
    string(REGEX REPLACE "^[0-9]+\\|" "" d "${k}")
    string(REPLACE "/" "\\" wd "${d}")
    string(APPEND remove "RMDir \"$INSTDIR\\${wd}\"\n")
endforeach()
file(WRITE ${OUT}/files.nsh "${install}")
file(WRITE ${OUT}/unfiles.nsh "${remove}")
