# The same source gives the same bytes wherever and whenever it is built: the source and build
# folders are mapped to fixed names in everything the compiler writes (debug information,
# __FILE__), and the package's timestamps come from SOURCE_DATE_EPOCH (dist/PackageEpoch.cmake).
#
# The build folder's mapping comes last: GCC uses the last matching one and clang the longest,
# and the build folder often lies inside the source folder.
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                    -ffile-prefix-map=${PROJECT_BINARY_DIR}/=build/)
