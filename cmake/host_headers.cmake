# Header-only libraries that Debian installs into /usr/include (libstb-dev, libcli11-dev). A cross
# build must not search /usr/include as a whole, since the build machine's C library would shadow
# the target's; it sees just the library's folder, through a link in the build tree.
function(redadado_host_header_library name folder package)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: install the Debian package ${package}")
  endif()
  add_library(${name} INTERFACE)
  if(CMAKE_CROSSCOMPILING)
    set(root ${CMAKE_BINARY_DIR}/host-include)
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK /usr/include/${folder} ${root}/${folder} SYMBOLIC)
    target_include_directories(${name} SYSTEM INTERFACE ${root})
  endif()
endfunction()
