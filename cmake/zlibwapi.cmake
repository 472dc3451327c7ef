# zlibwapi.dll: the zlib core and minizip's unzip side, built from Debian's zlib
# source package with the WINAPI (stdcall) convention and plain export names
# (unzOpen, not unzOpen@4). The zip side is left out: the program never writes
# archives, and this version of zip.c has a known overflow.
set(ZLIB_SOURCE_DIR ${CMAKE_BINARY_DIR}/_deps/zlib)
execute_process(
    COMMAND ${CMAKE_SOURCE_DIR}/tools/fetch-zlib-source ${ZLIB_SOURCE_DIR}
    RESULT_VARIABLE zlib_fetch_result)
if(NOT zlib_fetch_result EQUAL 0)
    message(FATAL_ERROR "Could not fetch zlib's source package (see above)")
endif()

set(zlib_core adler32 compress crc32 deflate gzclose gzlib gzread gzwrite
              infback inffast inflate inftrees trees uncompr zutil)
list(TRANSFORM zlib_core PREPEND ${ZLIB_SOURCE_DIR}/)
list(TRANSFORM zlib_core APPEND .c)

add_library(zlibwapi SHARED
    ${zlib_core}
    ${ZLIB_SOURCE_DIR}/contrib/minizip/ioapi.c
    ${ZLIB_SOURCE_DIR}/contrib/minizip/iowin32.c
    ${ZLIB_SOURCE_DIR}/contrib/minizip/unzip.c)
# ZLIB_DLL stays undefined: it would turn the library's internal calls into imports.
target_compile_definitions(zlibwapi PRIVATE ZLIB_WINAPI)
target_include_directories(zlibwapi PRIVATE ${ZLIB_SOURCE_DIR} ${ZLIB_SOURCE_DIR}/contrib/minizip)
target_compile_options(zlibwapi PRIVATE -O2 -w)
target_link_options(zlibwapi PRIVATE -Wl,--kill-at)
set_target_properties(zlibwapi PROPERTIES PREFIX "" OUTPUT_NAME zlibwapi)

# minizip's own header, for the tests that check the program's declarations against it.
set(MINIZIP_INCLUDE_DIRS ${ZLIB_SOURCE_DIR} ${ZLIB_SOURCE_DIR}/contrib/minizip)
