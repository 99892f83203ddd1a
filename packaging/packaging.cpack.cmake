# Read by cpack for each generator. Without dpkg-shlibdeps CPack would quietly
# build a .deb with no dependencies at all, so stop with a clear message.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(OSTRIVANE_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(NOT OSTRIVANE_DPKG_SHLIBDEPS)
    message(FATAL_ERROR
      "dpkg-shlibdeps was not found; it works out the package's dependencies. "
      "On Debian or Ubuntu install it with: sudo apt-get install dpkg-dev")
  endif()
endif()
