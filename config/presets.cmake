# The four deliverables: name, screen width, screen height, people, tanks.
# Nothing else differs between them.
set(CUBEGAME_PRESETS
    "cubegame_640 640 480 10000 1000"
    "cubegame_1024 1024 768 20000 1500"
    "cubegame_320 320 240 10000 1000"
    "cubegame_640_15k 640 480 15000 1250"
)
