# The release package quandrel-VERSION.zip: the program, zlibwapi.dll and the
# usage notes in GBK. Built with everything else; tools/package.sh copies it to dist/.
set(QUANDREL_PACKAGE ${CMAKE_BINARY_DIR}/quandrel-${PROJECT_VERSION}.zip)
add_custom_command(
    OUTPUT ${QUANDREL_PACKAGE}
    COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/make-package.py ${PROJECT_VERSION}
            ${CMAKE_RUNTIME_OUTPUT_DIRECTORY} ${PROJECT_SOURCE_DIR}/docs/release-notes-zh.txt ${QUANDREL_PACKAGE}
    DEPENDS quandrel zlibwapi ${PROJECT_SOURCE_DIR}/tools/make-package.py
            ${PROJECT_SOURCE_DIR}/docs/release-notes-zh.txt
    COMMENT "Packing ${QUANDREL_PACKAGE}")
add_custom_target(release_package ALL DEPENDS ${QUANDREL_PACKAGE})
