# cmake -DSITE=... -DVERSION=... -DTEMPLATE=... -P stamp.cmake: writes the
# site's service worker, naming every file of the release and a cache named
# after the version and a hash of the files, sorted, so the same release
# always gives the same worker.
file(GLOB files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(digests "")
set(names "'./'")
foreach(file IN LISTS files)
    file(SHA256 ${SITE}/${file} digest)
    string(APPEND digests "${file} ${digest}\n")
    string(APPEND names ", '${file}'")
endforeach()
string(SHA256 all "${digests}")
string(SUBSTRING ${all} 0 12 CUBEGAME_RELEASE_HASH)
set(CUBEGAME_VERSION ${VERSION})
set(CUBEGAME_RELEASE_FILES "${names}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
