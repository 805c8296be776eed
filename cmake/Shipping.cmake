# What every shipped binary gets: version information from one template and,
# when a code-signing certificate is given, an Authenticode signature.

# Signing: the certificate and its private key (files kept outside the sources),
# and a timestamp server. The key's password is read at build time from the
# environment variable HW_SIGN_PASSWORD by packaging/sign-files.sh; it never
# enters the cache or the build files.
set(HW_SIGN_CERT "$ENV{HW_SIGN_CERT}" CACHE FILEPATH "Code-signing certificate (PEM or DER); empty: an unsigned build")
set(HW_SIGN_KEY "$ENV{HW_SIGN_KEY}" CACHE FILEPATH "Private key of the code-signing certificate")
set(HW_SIGN_TIMESTAMP_URL "$ENV{HW_SIGN_TIMESTAMP_URL}" CACHE STRING "RFC 3161 timestamp server; empty: no timestamp")

set(HW_SIGN_COMMAND "")
if(HW_WINDOWS)
  if(HW_SIGN_CERT OR HW_SIGN_KEY)
    foreach(var HW_SIGN_CERT HW_SIGN_KEY)
      if(NOT ${var} OR NOT EXISTS "${${var}}" OR IS_DIRECTORY "${${var}}")
        message(FATAL_ERROR "Signing needs both HW_SIGN_CERT and HW_SIGN_KEY as files; ${var} is \"${${var}}\"")
      endif()
    endforeach()
    find_program(HW_OSSLSIGNCODE osslsigncode)
    if(NOT HW_OSSLSIGNCODE)
      message(FATAL_ERROR "No osslsigncode: install Debian's package osslsigncode (scripts/install-deps.sh)")
    endif()
    get_filename_component(cert "${HW_SIGN_CERT}" ABSOLUTE)
    get_filename_component(key "${HW_SIGN_KEY}" ABSOLUTE)
    set(HW_SIGN_COMMAND ${PROJECT_SOURCE_DIR}/packaging/sign-files.sh --cert ${cert} --key ${key})
    if(HW_SIGN_TIMESTAMP_URL)
      list(APPEND HW_SIGN_COMMAND --timestamp ${HW_SIGN_TIMESTAMP_URL})
    endif()
    message(STATUS "Signed build: programs, libraries and packages signed with ${cert}")
  else()
    message(STATUS "Unsigned build: no code-signing certificate (HW_SIGN_CERT, HW_SIGN_KEY); "
                   "the packages are named *-unsigned-*.msi")
  endif()
endif()

# hw_sign_step(OUTVAR FILE): "COMMAND ..." arguments for add_custom_command that
# sign FILE in place, or nothing in an unsigned build.
function(hw_sign_step outvar file)
  set(step "")
  if(HW_SIGN_COMMAND)
    set(step COMMAND ${HW_SIGN_COMMAND} ${file})
  endif()
  set(${outvar} ${step} PARENT_SCOPE)
endfunction()

# hw_sign_after_link(TARGET): sign the linked binary where it is built, before
# anything copies it into the application folder or a package.
function(hw_sign_after_link target)
  hw_sign_step(step $<TARGET_FILE:${target}>)
  if(step)
    add_custom_command(TARGET ${target} POST_BUILD ${step} VERBATIM)
  endif()
endfunction()

# What a resource script that includes the template depends on; windres names
# no included files to the build, so each such script lists them as OBJECT_DEPENDS.
set(HW_VERSION_INFO_DEPENDS ${PROJECT_SOURCE_DIR}/shared/VersionInfo.rc
                            ${CMAKE_BINARY_DIR}/generated/shared/HookwardenVersion.h)

# hw_version_info(TARGET DESCRIPTION): the version resource of a shipped program
# or library, from the template shared/VersionInfo.rc.
function(hw_version_info target description)
  if(NOT HW_WINDOWS)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  set(file_type VFT_DLL)
  if(type STREQUAL "EXECUTABLE")
    set(file_type VFT_APP)
  endif()
  set(rc ${CMAKE_BINARY_DIR}/generated/version/${target}.rc)
  file(GENERATE OUTPUT ${rc} CONTENT "// Written by the build: the version information of ${target}.
#define HW_FILE_DESCRIPTION \"${description}\"
#define HW_FILE_NAME \"$<TARGET_FILE_NAME:${target}>\"
#define HW_INTERNAL_NAME \"$<TARGET_FILE_BASE_NAME:${target}>\"
#define HW_FILE_TYPE ${file_type}
#include \"shared/VersionInfo.rc\"
")
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES
    INCLUDE_DIRECTORIES "${PROJECT_SOURCE_DIR};${CMAKE_BINARY_DIR}/generated"
    OBJECT_DEPENDS "${HW_VERSION_INFO_DEPENDS}")
endfunction()
