# Packs the extension's files into one archive with the manifest a browser's store
# takes (run with cmake -P from the extension's folder):
#   -DKIND=unpacked   the manifest as it is: its key fixes the Chromium id when the
#                     folder is loaded unpacked
#   -DKIND=chromium   the Chrome Web Store and Edge Add-ons: without key (the store
#                     refuses it and gives the id) and Firefox's settings and
#                     background.scripts
#   -DKIND=firefox    addons.mozilla.org: without key and the service worker,
#                     which Firefox ignores for background.scripts
#   -DOUTPUT=FILE -DSTAGING=DIR -DFILES=a;b;...
foreach(name KIND OUTPUT STAGING FILES)
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "package.cmake needs -D${name}=...")
  endif()
endforeach()
set(removed_unpacked "")
set(removed_chromium "key" "browser_specific_settings" "background scripts")
set(removed_firefox "key" "background service_worker")
if(NOT DEFINED removed_${KIND})
  message(FATAL_ERROR "package.cmake: unknown KIND '${KIND}' (unpacked, chromium or firefox)")
endif()

file(REMOVE_RECURSE ${STAGING})
foreach(path IN LISTS FILES)
  get_filename_component(folder ${STAGING}/${path} DIRECTORY)
  file(COPY ${path} DESTINATION ${folder})
endforeach()
file(READ manifest.json manifest)
foreach(member IN LISTS removed_${KIND})
  string(REPLACE " " ";" member_path "${member}")
  string(JSON manifest ERROR_VARIABLE missing REMOVE "${manifest}" ${member_path})
  if(missing)
    message(FATAL_ERROR "package.cmake: the manifest has no '${member}' to remove: ${missing}")
  endif()
endforeach()
file(WRITE ${STAGING}/manifest.json "${manifest}")

# The manifest first, as the stores read it; fixed times, so that the same files
# give the same archive.
list(REMOVE_ITEM FILES manifest.json)
file(REMOVE ${OUTPUT})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${OUTPUT} --format=zip --mtime=2026-01-01 manifest.json ${FILES}
                WORKING_DIRECTORY ${STAGING} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "package.cmake: could not write ${OUTPUT}")
endif()
