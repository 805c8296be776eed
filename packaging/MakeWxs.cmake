# Writes the installer's WiX source from the template and the list of files that
# the build lays into the application folder. Run at build time (cmake -P) with
#   TEMPLATE  the .wxs.in
#   FILES     a file with one "SOURCE|FOLDER" line each (FOLDER relative to the
#             application folder, empty for the folder itself)
#   EXTRA     more "SOURCE|FOLDER" lines, ";"-separated (files only the installer needs)
#   FOLDERS   ";"-separated folders that are installed even when empty
#   VERSION   the product version, OUTPUT the .wxs to write
#   BASE      the folder that wixl runs in: sources are written relative to it
#
# Component GUIDs come from the installed path, so the same file keeps its
# component from one version to the next; the product code comes from the
# version, so every version is a new product of the same upgrade code.
cmake_minimum_required(VERSION 3.25)

set(namespace 6f1c5e2a-3b7d-4c86-9a41-0d2e8b7f5c13)

file(STRINGS ${FILES} lines)
list(APPEND lines ${EXTRA})

function(make_id prefix text outvar)
  string(MAKE_C_IDENTIFIER "${text}" id)
  set(${outvar} "${prefix}${id}" PARENT_SCOPE)
endfunction()

function(make_guid text outvar)
  string(UUID guid NAMESPACE ${namespace} NAME "${text}" TYPE SHA1 UPPER)
  set(${outvar} "{${guid}}" PARENT_SCOPE)
endfunction()

# Files by folder; every parent folder of a folder is a folder too.
set(folders "" ${FOLDERS})
foreach(line IN LISTS lines)
  string(REPLACE "|" ";" parts "${line}")
  list(GET parts 0 source)
  list(LENGTH parts n)
  set(folder "")
  if(n GREATER 1)
    list(GET parts 1 folder)
  endif()
  if(NOT EXISTS ${source})
    message(FATAL_ERROR "installer: ${source} was not built")
  endif()
  make_id(d_ "${folder}" key)
  list(APPEND files_${key} ${source})
  list(APPEND folders "${folder}")
endforeach()
set(all_folders "")
foreach(folder IN LISTS folders)
  while(NOT folder STREQUAL "")
    list(APPEND all_folders "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES all_folders)
list(SORT all_folders)

set(refs "")
# Components of one folder: a component per file, or one that keeps an empty
# folder.
function(folder_components folder indent outvar)
  make_id(d_ "${folder}" key)
  set(text "")
  set(names "")
  foreach(source IN LISTS files_${key})
    get_filename_component(name ${source} NAME)
    if(folder STREQUAL "")
      set(rel "${name}")
    else()
      set(rel "${folder}/${name}")
    endif()
    make_id(f_ "${rel}" fid)
    make_id(c_ "${rel}" cid)
    make_guid("${rel}" guid)
    file(RELATIVE_PATH source ${BASE} ${source})
    string(APPEND text "${indent}<Component Id=\"${cid}\" Guid=\"${guid}\" Win64=\"yes\">\n")
    string(APPEND text "${indent}  <File Id=\"${fid}\" Name=\"${name}\" Source=\"${source}\" KeyPath=\"yes\"/>\n")
    string(APPEND text "${indent}</Component>\n")
    list(APPEND refs ${cid})
  endforeach()
  if(NOT files_${key} AND NOT folder STREQUAL "")
    make_id(c_ "${folder}/" cid)
    make_guid("${folder}/" guid)
    string(APPEND text "${indent}<Component Id=\"${cid}\" Guid=\"${guid}\" Win64=\"yes\">\n")
    string(APPEND text "${indent}  <CreateFolder/>\n")
    string(APPEND text "${indent}</Component>\n")
    list(APPEND refs ${cid})
  endif()
  set(refs ${refs} PARENT_SCOPE)
  set(${outvar} "${text}" PARENT_SCOPE)
endfunction()

# The tree below INSTALLDIR, written depth first.
function(folder_tree parent indent outvar)
  set(text "")
  foreach(folder IN LISTS all_folders)
    get_filename_component(up "${folder}" DIRECTORY)
    if(NOT up STREQUAL parent)
      continue()
    endif()
    get_filename_component(name "${folder}" NAME)
    make_id(d_ "${folder}" did)
    folder_components("${folder}" "${indent}  " components)
    folder_tree("${folder}" "${indent}  " subtree)
    string(APPEND text "${indent}<Directory Id=\"${did}\" Name=\"${name}\">\n${components}${subtree}${indent}</Directory>\n")
  endforeach()
  set(refs ${refs} PARENT_SCOPE)
  set(${outvar} "${text}" PARENT_SCOPE)
endfunction()

folder_components("" "          " top)
folder_tree("" "          " tree)
set(APP_TREE "${top}${tree}")
set(COMPONENT_REFS "")
foreach(cid IN LISTS refs)
  string(APPEND COMPONENT_REFS "      <ComponentRef Id=\"${cid}\"/>\n")
endforeach()
make_guid("product ${VERSION}" PRODUCT_CODE)
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
