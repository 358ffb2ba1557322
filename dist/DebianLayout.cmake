# Run by CPack on the package's staging tree before it is packed. Debian keeps the programs of
# the games section in /usr/games: they move there, and /usr/bin keeps a link to each, so
# `starbreaker` is found on any PATH. The data lies one level above either folder, where the
# program looks for it, so nothing else changes. The licence's text is not packaged: Debian
# keeps it once for all packages, and the copyright file points there.
set(root "${CPACK_TEMPORARY_DIRECTORY}")
if(NOT IS_DIRECTORY "${root}/usr/bin")
  message(FATAL_ERROR "no usr/bin in the staging tree '${root}'")
endif()
file(MAKE_DIRECTORY "${root}/usr/games")
file(CHMOD "${root}/usr/games" DIRECTORY_PERMISSIONS
     OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(GLOB programs RELATIVE "${root}/usr/bin" "${root}/usr/bin/*")
foreach(p ${programs})
  file(RENAME "${root}/usr/bin/${p}" "${root}/usr/games/${p}")
  file(CREATE_LINK "../games/${p}" "${root}/usr/bin/${p}" SYMBOLIC)
endforeach()
file(REMOVE "${root}/usr/share/doc/starbreaker/COPYING")
