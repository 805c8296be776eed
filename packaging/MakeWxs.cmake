# Writes the installer's WiX source from the template and the list of files that
# the build lays into the application folder. Run at build time (cmake -P) with
#   TEMPLATE  the .wxs.in
#   FILES     a file with one "SOURCE|FOLDER" line each (FOLDER relative to the
#             application folder, empty for the folder itself)
#   EXTRA     more "SOURCE|FOLDER" lines, ";"-separated (files only the installer needs)
#   FOLDERS   ";"-separated folders that are installed even when empty
#   VERSION   the product version, OUTPUT the .wxs to write
#   SCOPE     perMachine (below Program Files) or perUser (the user's own programs
#             folder, no administrator rights; a product and components of its own)
#   BASE      the folder that wixl runs in: sources are written relative to it
#   ACTIONS   the DLL of the uninstaller's own custom actions (not installed)
#
# Component GUIDs come from the scope and the installed path, so the same file
# keeps its component from one version to the next; the product code comes from
# the scope and the version, so every version is a new product of its scope's
# upgrade code.
cmake_minimum_required(VERSION 3.25)

set(namespace 6f1c5e2a-3b7d-4c86-9a41-0d2e8b7f5c13)

# What differs between the two kinds of installation.
if(SCOPE STREQUAL "perMachine")
  set(guid_scope "")
  set(UPGRADE_CODE "{8E4C2B71-5D0A-4F3E-9B62-7A1D3C9E0F54}")
  set(PER_MACHINE 1)
  set(START_MENU_GUID "{5C2E9A7D-3F18-4B6E-A0D4-8E7B2C1F9A63}")
  set(BROWSER_HOST_KEYS_GUID "{3A7E5C19-8B24-4D6F-9E03-5F1A2B7C8D46}")
  set(HOSTS_ROOT HKLM)
  set(PROGRAMS_OPEN "<Directory Id=\"ProgramFiles64Folder\">")
  set(PROGRAMS_CLOSE "</Directory>")
  # The Application log's event source, in HKLM: only the machine's package may write it.
  set(EVENT_SOURCE_GUID "{3E744936-2D18-422D-A743-7C53C3977619}")
  set(EVENT_SOURCE_REF "      <ComponentRef Id=\"c_event_source\"/>\n")
elseif(SCOPE STREQUAL "perUser")
  set(guid_scope "perUser ")
  set(UPGRADE_CODE "{3B9D6F20-8A41-4C7E-B5D2-1E6F0A9C4D87}")
  set(PER_MACHINE 0)
  set(START_MENU_GUID "{A4172E95-6C0B-4D38-9F1E-2B7C5D8A6E30}")
  set(BROWSER_HOST_KEYS_GUID "{6D2F8B41-9C37-4E05-A1B8-3F7E2D9C5A14}")
  set(HOSTS_ROOT HKCU)
  set(PROGRAMS_OPEN "<Directory Id=\"LocalAppDataFolder\"><Directory Id=\"d_user_programs\" Name=\"Programs\">")
  set(PROGRAMS_CLOSE "</Directory></Directory>")
  # A user's own installation cannot write HKLM: no event source is registered, and
  # the events go to the log without their texts (the inserts are still there).
  set(EVENT_SOURCE_GUID "")
  set(EVENT_SOURCE_REF "")
else()
  message(FATAL_ERROR "installer: SCOPE is perMachine or perUser, not '${SCOPE}'")
endif()
set(INSTALL_SCOPE ${SCOPE})

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
    make_guid("${guid_scope}${rel}" guid)
    file(RELATIVE_PATH source ${BASE} ${source})
    string(APPEND text "${indent}<Component Id=\"${cid}\" Guid=\"${guid}\" Win64=\"yes\">\n")
    string(APPEND text "${indent}  <File Id=\"${fid}\" Name=\"${name}\" Source=\"${source}\" KeyPath=\"yes\"/>\n")
    string(APPEND text "${indent}</Component>\n")
    list(APPEND refs ${cid})
  endforeach()
  if(NOT files_${key} AND NOT folder STREQUAL "")
    make_id(c_ "${folder}/" cid)
    make_guid("${guid_scope}${folder}/" guid)
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
make_guid("${guid_scope}product ${VERSION}" PRODUCT_CODE)
file(RELATIVE_PATH ACTIONS_DLL ${BASE} ${ACTIONS})
if(EVENT_SOURCE_GUID)
  set(EVENT_SOURCE_COMPONENT "          <Component Id=\"c_event_source\" Guid=\"${EVENT_SOURCE_GUID}\" Win64=\"yes\">
            <RegistryValue Root=\"HKLM\" Key=\"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Hookwarden\"
                           Name=\"EventMessageFile\" Type=\"expandable\" Value=\"[INSTALLDIR]Hookwdn.exe\" KeyPath=\"yes\"/>
            <RegistryValue Root=\"HKLM\" Key=\"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Hookwarden\"
                           Name=\"TypesSupported\" Type=\"integer\" Value=\"7\"/>
          </Component>
")
else()
  set(EVENT_SOURCE_COMPONENT "")
endif()
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
