# Everything the program carries inside it, embedded as Qt resources.

# Font faces that stand in for the faces the windows were designed with.
# They are taken from Debian's font packages at configure time, never committed.
set(CHAROLIST_FONTS
    "/usr/share/fonts/truetype/paratype/PTS55F.ttf"
    "/usr/share/fonts/truetype/paratype/PTS75F.ttf"
    "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf"
    "/usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf"
    "/usr/share/fonts/truetype/andika/Andika-Regular.ttf"
    "/usr/share/fonts/truetype/andika/Andika-Bold.ttf"
)
set(FONT_DIR ${GENERATED_DIR}/fonts)
set(FONT_RESOURCES)
foreach(font ${CHAROLIST_FONTS})
    if(NOT EXISTS ${font})
        message(FATAL_ERROR "Font ${font} is missing: run scripts/install-deps")
    endif()
    get_filename_component(name ${font} NAME)
    configure_file(${font} ${FONT_DIR}/${name} COPYONLY)
    list(APPEND FONT_RESOURCES ${FONT_DIR}/${name})
endforeach()

# Pictures drawn at build time from the descriptions in content/art.
set(ART_DIR ${GENERATED_DIR}/art)
set(ART_OUTPUTS ${ART_DIR}/back.bmp ${ART_DIR}/runes.bmp ${ART_DIR}/mainicon.png)
# The icon for the desktop's icon theme, drawn at each of these sizes.
set(CHAROLIST_ICON_SIZES 16 24 32 48 64 128 256)
set(ICON_OUTPUTS)
foreach(size ${CHAROLIST_ICON_SIZES})
    list(APPEND ICON_OUTPUTS ${ART_DIR}/icon-${size}.png)
endforeach()
add_custom_command(
    OUTPUT ${ART_OUTPUTS} ${ICON_OUTPUTS} ${ART_DIR}/runes-400.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ART_DIR}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:charolist-runeart>
            ${CMAKE_SOURCE_DIR}/content/art ${FONT_DIR} ${ART_DIR}
    DEPENDS charolist-runeart
            ${CMAKE_SOURCE_DIR}/content/art/glyphs.txt
            ${CMAKE_SOURCE_DIR}/content/art/wood.txt
    COMMENT "Drawing the rune pictures"
    VERBATIM)
set_source_files_properties(${ART_OUTPUTS} PROPERTIES GENERATED TRUE)

file(GLOB TEXT_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/content/texts/*.txt)

add_library(charolist_content STATIC src/app/ContentInit.cpp)
target_link_libraries(charolist_content PUBLIC Qt6::Core)
qt_add_resources(charolist_content "texts" PREFIX "/texts"
    BASE ${CMAKE_SOURCE_DIR}/content/texts FILES ${TEXT_FILES})
# Stored uncompressed: unpacking megabytes of font faces and pictures at every
# start would cost more than the bytes they save.
qt_add_resources(charolist_content "art" PREFIX "/art" BASE ${ART_DIR}
    OPTIONS --no-compress FILES ${ART_OUTPUTS})
qt_add_resources(charolist_content "fonts" PREFIX "/fonts" BASE ${FONT_DIR}
    OPTIONS --no-compress FILES ${FONT_RESOURCES})

# The music of the message from the ancestors, synthesised from its score.
set(SOUND_DIR ${GENERATED_DIR}/sound)
add_custom_command(
    OUTPUT ${SOUND_DIR}/WAVE_0.wav
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SOUND_DIR}
    COMMAND $<TARGET_FILE:charolist-music> ${CMAKE_SOURCE_DIR}/content/music/score.txt
            ${SOUND_DIR}/WAVE_0.wav
    DEPENDS charolist-music ${CMAKE_SOURCE_DIR}/content/music/score.txt
    COMMENT "Synthesising the music"
    VERBATIM)
set_source_files_properties(${SOUND_DIR}/WAVE_0.wav PROPERTIES GENERATED TRUE)
qt_add_resources(charolist_content "sound" PREFIX "/sound" BASE ${SOUND_DIR}
    BIG_RESOURCES FILES ${SOUND_DIR}/WAVE_0.wav)

# The internal skin: its pictures painted from the options' areas, then packed
# with the skin tool (a build of it without the internal skin, which does not
# exist yet at that point) in the order the program expects. Its members are
# stored, not compressed: inflating them cost every start about 1.5 ms.
set(SKIN_DIR ${GENERATED_DIR}/skin)
set(SKIN_PICTURES ${SKIN_DIR}/Master.bmp ${SKIN_DIR}/ButtonHuge.bmp ${SKIN_DIR}/Bg_b.jpg)
add_custom_command(
    OUTPUT ${SKIN_PICTURES} ${SKIN_DIR}/contact-sheet.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SKIN_DIR}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:charolist-skinart>
            ${CMAKE_SOURCE_DIR}/content/skin/Options.dat ${CMAKE_SOURCE_DIR}/content/skin/wood.txt
            ${SKIN_DIR}
    DEPENDS charolist-skinart
            ${CMAKE_SOURCE_DIR}/content/skin/Options.dat ${CMAKE_SOURCE_DIR}/content/skin/wood.txt
    COMMENT "Painting the Wood skin"
    VERBATIM)
add_custom_command(
    OUTPUT ${SKIN_DIR}/Wood.asz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/skin/Options.dat
            ${SKIN_DIR}/Options.dat
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:charolist-skin-bootstrap> pack --stored ${SKIN_DIR} ${SKIN_DIR}/Wood.asz
            ButtonHuge.bmp Master.bmp Bg_b.jpg
    DEPENDS charolist-skin-bootstrap ${SKIN_PICTURES} ${CMAKE_SOURCE_DIR}/content/skin/Options.dat
    COMMENT "Packing the Wood skin"
    VERBATIM)
set_source_files_properties(${SKIN_PICTURES} ${SKIN_DIR}/Wood.asz PROPERTIES GENERATED TRUE)

# The second skin, Береста: painted the same way from its own options text and
# settings, and packed as a package that is installed beside the program.
set(BIRCH_DIR ${GENERATED_DIR}/skin-birch)
set(BIRCH_PACKAGE "${GENERATED_DIR}/Береста.asz")
add_custom_command(
    OUTPUT ${BIRCH_DIR}/Birch.png ${BIRCH_DIR}/contact-sheet.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${BIRCH_DIR}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:charolist-skinart>
            ${CMAKE_SOURCE_DIR}/content/skin/birch/Options.dat
            ${CMAKE_SOURCE_DIR}/content/skin/birch/birch.txt ${BIRCH_DIR}
    DEPENDS charolist-skinart ${CMAKE_SOURCE_DIR}/content/skin/birch/Options.dat
            ${CMAKE_SOURCE_DIR}/content/skin/birch/birch.txt
    COMMENT "Painting the Береста skin"
    VERBATIM)
add_custom_command(
    OUTPUT ${BIRCH_PACKAGE}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/content/skin/birch/Options.dat
            ${BIRCH_DIR}/Options.dat
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:charolist-skin-bootstrap> pack ${BIRCH_DIR} ${BIRCH_PACKAGE} Birch.png
    DEPENDS charolist-skin-bootstrap ${BIRCH_DIR}/Birch.png
            ${CMAKE_SOURCE_DIR}/content/skin/birch/Options.dat
    COMMENT "Packing the Береста skin"
    VERBATIM)
add_custom_target(charolist_birch_skin ALL DEPENDS ${BIRCH_PACKAGE})

add_library(charolist_internal_skin STATIC src/app/InternalSkin.cpp)
target_link_libraries(charolist_internal_skin PUBLIC charolist_skin_data)
target_include_directories(charolist_internal_skin PUBLIC src)
qt_add_resources(charolist_internal_skin "skin" PREFIX "/skin" BASE ${SKIN_DIR}
    OPTIONS --no-compress FILES ${SKIN_DIR}/Wood.asz)

add_executable(charolist-skin tools/skin/main.cpp tools/skin/SkinCheck.cpp tools/skin/SkinDump.cpp
    tools/skin/SkinRender.cpp tools/skin/SkinPreview.cpp)
target_link_libraries(charolist-skin PRIVATE charolist_skin_draw charolist_internal_skin
    charolist_app)
target_compile_definitions(charolist-skin PRIVATE CHAROLIST_WITH_INTERNAL_SKIN
    CHAROLIST_WITH_WINDOWS)
set_target_properties(charolist-skin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The ornament of the author window, drawn from its description.
set(ORNAMENT_DIR ${GENERATED_DIR}/ornament)
add_custom_command(
    OUTPUT ${ORNAMENT_DIR}/ornament.bmp ${ORNAMENT_DIR}/ornament-400.png
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ORNAMENT_DIR}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            $<TARGET_FILE:charolist-ornament> ${CMAKE_SOURCE_DIR}/content/art/ornament.txt
            ${ORNAMENT_DIR}
    DEPENDS charolist-ornament ${CMAKE_SOURCE_DIR}/content/art/ornament.txt
    COMMENT "Drawing the author's ornament"
    VERBATIM)
set_source_files_properties(${ORNAMENT_DIR}/ornament.bmp PROPERTIES GENERATED TRUE)
qt_add_resources(charolist_content "ornament" PREFIX "/art" BASE ${ORNAMENT_DIR}
    OPTIONS --no-compress FILES ${ORNAMENT_DIR}/ornament.bmp)
