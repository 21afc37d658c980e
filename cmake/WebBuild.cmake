# The browser build: the same game folders and src/platform's web parts, compiled with
# emscripten against the libraries scripts/web/build-libs.sh builds into TAVELLE_WEB_DEPS.
set(TAVELLE_WEB_DEPS "${PROJECT_SOURCE_DIR}/build-web/deps" CACHE PATH
    "SDL2, Ogg, Vorbis and FreeType built for the browser")

# The library under the name the desktop build gives it: its include folder and archives.
function(tavelle_web_library name include)
  add_library(PkgConfig::${name} INTERFACE IMPORTED)
  target_include_directories(PkgConfig::${name} INTERFACE ${include})
  target_link_libraries(PkgConfig::${name} INTERFACE ${ARGN})
endfunction()

tavelle_web_library(SDL2 "${TAVELLE_WEB_DEPS}/include/SDL2" "${TAVELLE_WEB_DEPS}/lib/libSDL2.a")
tavelle_web_library(FREETYPE "${TAVELLE_WEB_DEPS}/include/freetype2"
                    "${TAVELLE_WEB_DEPS}/lib/libfreetype.a")
tavelle_web_library(VORBISFILE "${TAVELLE_WEB_DEPS}/include" "${TAVELLE_WEB_DEPS}/lib/libvorbis.a"
                    "${TAVELLE_WEB_DEPS}/lib/libogg.a")
# WebGL2 stands in for the GL loader; fonts come with the page and screenshots stay
# in the browser, so fontconfig and libpng are not needed.
tavelle_web_library(EPOXY "${PROJECT_SOURCE_DIR}/src/platform/web/include")
tavelle_web_library(FONTCONFIG "${TAVELLE_WEB_DEPS}/include")
tavelle_web_library(PNG "${TAVELLE_WEB_DEPS}/include")
add_library(Threads::Threads INTERFACE IMPORTED)

find_package(Python3 REQUIRED COMPONENTS Interpreter)
include(GNUInstallDirs)
add_subdirectory(src)
include(cmake/WebTextTests.cmake)

# The player: tavelle.js and tavelle.wasm. The page fetches the game's files into the
# in-memory file system before it starts the program, so nothing is preloaded here.
# Asyncify lets the game's frame loop and message boxes hand control back to the
# browser between frames without threads. SDL's browser audio calls its callback
# through dynCall, which is linked only when named (in library_functions.json, as its
# "$" would not pass the build's shell).
set_target_properties(tavelle PROPERTIES SUFFIX ".js")
# Its entry tells the page when the game ends, answers the page's state query and
# plays the page's input script as tavelle-play does.
set_property(TARGET tavelle PROPERTY SOURCES ${PROJECT_SOURCE_DIR}/tools/web/player_main.cpp
             ${PROJECT_SOURCE_DIR}/tools/web/page_script.cpp
             ${PROJECT_SOURCE_DIR}/tools/play/state_json.cpp
             ${PROJECT_SOURCE_DIR}/tools/play/json_writer.cpp
             ${PROJECT_SOURCE_DIR}/tools/play/input_script.cpp
             ${PROJECT_SOURCE_DIR}/tools/play/script_events.cpp
             ${PROJECT_SOURCE_DIR}/tools/play/ground_aim.cpp)
target_include_directories(tavelle PRIVATE ${PROJECT_SOURCE_DIR}/tools/play)
target_link_options(tavelle PRIVATE
  -sMAX_WEBGL_VERSION=2 -sMIN_WEBGL_VERSION=2 -sALLOW_MEMORY_GROWTH=1 -sASYNCIFY
  -sASYNCIFY_STACK_SIZE=65536 -sINVOKE_RUN=0 -sEXIT_RUNTIME=1 -sFORCE_FILESYSTEM=1 -lidbfs.js
  -sENVIRONMENT=web -sMODULARIZE=1 -sEXPORT_NAME=TavellePlayer
  "-sEXPORTED_FUNCTIONS=[\"_main\",\"_TavelleStateJson\",\"_TavelleNote\",\"_TavelleStartScript\",\"_TavelleWantShot\"]"
  "-sEXPORTED_RUNTIME_METHODS=[\"FS\",\"ENV\",\"callMain\",\"ccall\",\"UTF8ToString\"]"
  "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${PROJECT_SOURCE_DIR}/src/platform/web/library_functions.json")

# The player's site files in web/: the program, the page and the font, as zrn web
# copies them into a game's site.
set(TAVELLE_WEB_FONT_SOURCE "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf" CACHE FILEPATH
    "The Japanese Gothic face the web player's font is cut from")
set(WEB_DIR ${CMAKE_BINARY_DIR}/web)
set(PAGE_DIR ${PROJECT_SOURCE_DIR}/src/platform/web/page)
set(PAGE_FILES ${PAGE_DIR}/index.html ${PAGE_DIR}/tavelle-page.js ${PAGE_DIR}/tavelle-page.css)
add_custom_command(
  OUTPUT ${WEB_DIR}/font/gothic.ttf
  COMMAND ${CMAKE_COMMAND} -E make_directory ${WEB_DIR}/font
  COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/scripts/web/subset_font.py
          ${TAVELLE_WEB_FONT_SOURCE} ${WEB_DIR}/font/gothic.ttf
  DEPENDS ${PROJECT_SOURCE_DIR}/scripts/web/subset_font.py
  COMMENT "Cutting the web player's font down to code page 932"
  VERBATIM)
add_custom_target(web_player ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PAGE_FILES} ${WEB_DIR}/
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:tavelle>
          $<TARGET_FILE_DIR:tavelle>/tavelle.wasm ${WEB_DIR}/
  DEPENDS tavelle ${PAGE_FILES} ${WEB_DIR}/font/gothic.ttf
  COMMENT "Gathering the web player in ${WEB_DIR}"
  VERBATIM)
