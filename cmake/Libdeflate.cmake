# libdeflate, which plugsetup build compresses with: the same static build of Debian's sources for
# both targets, made by scripts/bootstrap; its folder changes with the way it is built.
# The fuzz project includes it too (always a host build).
if(PLUGSETUP_WIN32)
  set(PLUGSETUP_LIBDEFLATE_DIR /var/cache/plugsetup/libdeflate-1/mingw)
else()
  set(PLUGSETUP_LIBDEFLATE_DIR /var/cache/plugsetup/libdeflate-1/host)
endif()
if(NOT EXISTS ${PLUGSETUP_LIBDEFLATE_DIR}/lib/libdeflate.a)
  message(FATAL_ERROR "${PLUGSETUP_LIBDEFLATE_DIR}/lib/libdeflate.a is missing: run scripts/bootstrap")
endif()
add_library(plugsetup_libdeflate STATIC IMPORTED)
set_target_properties(plugsetup_libdeflate PROPERTIES
  IMPORTED_LOCATION ${PLUGSETUP_LIBDEFLATE_DIR}/lib/libdeflate.a
  INTERFACE_INCLUDE_DIRECTORIES ${PLUGSETUP_LIBDEFLATE_DIR}/include)
