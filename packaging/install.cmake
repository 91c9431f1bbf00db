# Installs the game in Debian's layout for games and packages it as a .deb:
# builds in lib/games/cubegame, their images in share/games/cubegame,
# launchers in games, a desktop entry, AppStream metadata, icons, a manual
# page and the files Debian wants in share/doc. Everything that is drawn or compressed is made
# at build time into the build folder's "staged" folder.
set(CUBEGAME_LIB_DIR lib/games/cubegame)
set(CUBEGAME_DATA_DIR share/games/cubegame)
set(CUBEGAME_DOC_DIR share/doc/cubegame)
set(CUBEGAME_MAINTAINER "cubegame developers <cubegame@example.org>" CACHE STRING
    "Maintainer named in the Debian package and its changelog")
set(CUBEGAME_IMAGES Map.tga MapTex.tga TexNoise.tga TexSkyBox.tga TexCube.tga TexPerson.tga TexPersonBack.tga TexTank.tga)
set(CUBEGAME_ICON_SIZES 48 64 128 256)
# Software centres know the game by this ID; the desktop entry is named after it.
set(CUBEGAME_APP_ID io.github.cubegame.Cubegame)
set(CUBEGAME_HOMEPAGE "https://github.com/cubegame/cubegame" CACHE STRING
    "The project's home page, named in the AppStream metadata")
# The README's pictures as the release's tag serves them.
set(CUBEGAME_SCREENSHOTS "https://raw.githubusercontent.com/cubegame/cubegame/v${PROJECT_VERSION}/docs" CACHE STRING
    "Where the AppStream metadata finds the screenshots")

set(cubegame_packaging ${PROJECT_SOURCE_DIR}/packaging)
set(cubegame_staged ${PROJECT_BINARY_DIR}/staged)

# The eight images the games read.
list(TRANSFORM CUBEGAME_IMAGES PREPEND ${cubegame_staged}/data/ OUTPUT_VARIABLE cubegame_image_files)
add_custom_command(OUTPUT ${cubegame_image_files}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${cubegame_staged}/data
    COMMAND makeimages ${cubegame_staged}/data
    DEPENDS makeimages VERBATIM)
install(FILES ${cubegame_image_files} DESTINATION ${CUBEGAME_DATA_DIR})

# The icons, from the cube's face.
set(cubegame_icon_files)
foreach(size IN LISTS CUBEGAME_ICON_SIZES)
    set(icon ${cubegame_staged}/icons/${size}/cubegame.png)
    add_custom_command(OUTPUT ${icon}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${cubegame_staged}/icons/${size}
        COMMAND makeimages --icon ${size} ${icon}
        DEPENDS makeimages VERBATIM)
    install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps)
    list(APPEND cubegame_icon_files ${icon})
endforeach()

# Manual page and changelog, compressed as Debian wants them (no name or
# time stamp inside, best compression).
# The builds as the texts name them, from the presets: "a, b, c and d", the
# manual's synopsis and table, the metadata's binaries and the package's
# lines. Counts are written in groups of three digits, as the texts do.
set(CUBEGAME_BUILD_NAMES "")
set(CUBEGAME_MAN_SYNOPSIS "")
set(CUBEGAME_MAN_TABLE "")
set(CUBEGAME_METAINFO_BINARIES "")
set(cubegame_package_lines "")
foreach(entry IN LISTS CUBEGAME_PRESETS)
    cubegame_read_preset("${entry}")
    string(REGEX REPLACE "([0-9])([0-9][0-9][0-9])$" "\\1 \\2" people_text "${people}")
    string(REGEX REPLACE "([0-9])([0-9][0-9][0-9])$" "\\1 \\2" tanks_text "${tanks}")
    list(APPEND CUBEGAME_BUILD_NAMES ${name})
    string(APPEND CUBEGAME_MAN_SYNOPSIS ".B ${name}\n.br\n")
    string(APPEND CUBEGAME_MAN_TABLE "${name}\t${width} x ${height}\t${people_text}\t${tanks_text}\n")
    string(APPEND CUBEGAME_METAINFO_BINARIES "    <binary>${name}</binary>\n")
    list(APPEND cubegame_package_lines " ${name}: ${width} x ${height}, ${people_text} people, ${tanks_text} tanks")
endforeach()
string(REGEX REPLACE "\n.br\n$" "" CUBEGAME_MAN_SYNOPSIS "${CUBEGAME_MAN_SYNOPSIS}")
list(GET CUBEGAME_BUILD_NAMES 0 CUBEGAME_MENU_BUILD)
string(JOIN ", " CUBEGAME_BUILD_LIST ${CUBEGAME_BUILD_NAMES})
string(REGEX REPLACE ", ([^,]+)$" " and \\1" CUBEGAME_BUILD_LIST "${CUBEGAME_BUILD_LIST}")
string(JOIN ", " CUBEGAME_BUILD_COMMAS ${CUBEGAME_BUILD_NAMES})
configure_file(${cubegame_packaging}/cubegame.6.in ${cubegame_staged}/cubegame.6 @ONLY)
configure_file(${cubegame_packaging}/changelog.in ${cubegame_staged}/changelog @ONLY)
foreach(text cubegame.6 changelog)
    add_custom_command(OUTPUT ${cubegame_staged}/${text}.gz
        COMMAND gzip -9nkf ${cubegame_staged}/${text}
        DEPENDS ${cubegame_staged}/${text} VERBATIM)
endforeach()
install(FILES ${cubegame_staged}/changelog.gz ${cubegame_packaging}/copyright DESTINATION ${CUBEGAME_DOC_DIR})
install(FILES ${cubegame_packaging}/${CUBEGAME_APP_ID}.desktop DESTINATION share/applications)

# The release is dated by the last commit, so a rebuild of the same commit
# gives the same file; SOURCE_DATE_EPOCH, when set, wins (string(TIMESTAMP)
# honours it).
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
        OUTPUT_VARIABLE cubegame_commit_time OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(cubegame_commit_time)
        set(ENV{SOURCE_DATE_EPOCH} ${cubegame_commit_time})
    endif()
endif()
string(TIMESTAMP CUBEGAME_RELEASE_DATE "%Y-%m-%d" UTC)
configure_file(${cubegame_packaging}/${CUBEGAME_APP_ID}.metainfo.xml.in
    ${cubegame_staged}/${CUBEGAME_APP_ID}.metainfo.xml @ONLY)
install(FILES ${cubegame_staged}/${CUBEGAME_APP_ID}.metainfo.xml DESTINATION share/metainfo)

add_custom_target(cubegame_install_files ALL
    DEPENDS ${cubegame_image_files} ${cubegame_icon_files} ${cubegame_staged}/cubegame.6.gz ${cubegame_staged}/changelog.gz)

# Each build, its launcher and its manual page (one page tells of all four).
foreach(entry IN LISTS CUBEGAME_PRESETS)
    cubegame_read_preset("${entry}")
    set(CUBEGAME_BUILD ${name})
    install(TARGETS ${CUBEGAME_BUILD} RUNTIME DESTINATION ${CUBEGAME_LIB_DIR})
    configure_file(${cubegame_packaging}/launcher.in ${cubegame_staged}/launchers/${CUBEGAME_BUILD} @ONLY)
    install(PROGRAMS ${cubegame_staged}/launchers/${CUBEGAME_BUILD} DESTINATION games)
    install(FILES ${cubegame_staged}/cubegame.6.gz DESTINATION share/man/man6 RENAME ${CUBEGAME_BUILD}.6.gz)
endforeach()

# The Debian package: cpack -G DEB in the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME cubegame)
set(CPACK_PACKAGE_CONTACT ${CUBEGAME_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "roll a big cube over hills and crush a crowd and its tanks")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "You are a big textured cube. Roll it across a hilly landscape and crush"
    "everything in your path: a crowd of ten to twenty thousand people who run"
    "from you, and a thousand tanks or more that turn toward you and shell you."
    "The arrow keys put torque on the cube, so it tips, tumbles and rolls, and"
    "it grows with every person and tank it crushes; every shell that hits it"
    "shrinks it."
    ""
    "The game runs full screen with OpenGL through SDL 1.2. Its builds differ"
    "in screen size and crowd:"
    ${cubegame_package_lines}
    "${CUBEGAME_MENU_BUILD} is the one in the games menu.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies come from the libraries the builds link (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL opens libGL.so.1 itself at run time, which dpkg-shlibdeps cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
include(CPack)
