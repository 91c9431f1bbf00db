# Sourced: zip_dated DIR NAME ZIP zips DIR/NAME into ZIP the same way every
# time: entries sorted, every date SOURCE_DATE_EPOCH's (the last commit's),
# no owners, extra fields or folder entries; in UTC, as zip stores local time.
zip_dated() {
    local zip
    zip=$(realpath -m "$3")
    rm -f "$zip"
    (cd "$1" &&
        find "$2" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} + &&
        find "$2" -print | LC_ALL=C sort | TZ=UTC zip -q -X -D -@ "$zip")
}
