# The four deliverables: name, screen width, screen height, people, tanks.
# Nothing else differs between them.
set(CUBEGAME_PRESETS
    "cubegame_640 640 480 10000 1000"
    "cubegame_1024 1024 768 20000 1500"
    "cubegame_320 320 240 10000 1000"
    "cubegame_640_15k 640 480 15000 1250"
)

# One entry's fields, into name, width, height, people and tanks.
macro(cubegame_read_preset entry)
    string(REPLACE " " ";" cubegame_preset_fields "${entry}")
    list(GET cubegame_preset_fields 0 name)
    list(GET cubegame_preset_fields 1 width)
    list(GET cubegame_preset_fields 2 height)
    list(GET cubegame_preset_fields 3 people)
    list(GET cubegame_preset_fields 4 tanks)
endmacro()

# A preset's build constants, for config/constants.cpp in the target.
function(cubegame_preset_definitions target width height people tanks)
    target_compile_definitions(${target} PRIVATE
        CUBEGAME_SCREEN_WIDTH=${width} CUBEGAME_SCREEN_HEIGHT=${height}
        CUBEGAME_PEOPLE_COUNT=${people} CUBEGAME_TANK_COUNT=${tanks})
endfunction()
