# The web build, configured with emcmake in its own build folder (scripts/web.sh):
# the simulator for node, WebAssembly.
#
# Emscripten's ports cannot be fetched here, so nothing links libpng or SDL: the
# two pictures come decoded by the native vexaloid-unpng (VEXALOID_UNPNG).
set(VEXALOID_UNPNG "" CACHE FILEPATH "The native vexaloid-unpng that decodes the pictures")
if(NOT VEXALOID_UNPNG)
  message(FATAL_ERROR "The web build needs -DVEXALOID_UNPNG=<native build>/vexaloid-unpng")
endif()

add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/gen/pictures_rgb.cpp
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/gen
  COMMAND ${VEXALOID_UNPNG} ${CMAKE_SOURCE_DIR}/src/assets/sheet.png
          ${CMAKE_SOURCE_DIR}/src/assets/logo.png ${CMAKE_BINARY_DIR}/gen/pictures_rgb.cpp
  DEPENDS ${CMAKE_SOURCE_DIR}/src/assets/sheet.png ${CMAKE_SOURCE_DIR}/src/assets/logo.png
  COMMENT "Decoding the sprite sheet and the logo")

file(GLOB_RECURSE WEB_GAME_SOURCES CONFIGURE_DEPENDS
  src/shell/*.cpp src/entities/*.cpp src/player/*.cpp src/bees/*.cpp src/effects/*.cpp
  src/persist/*.cpp src/audio/*.cpp src/assets/*.cpp src/platform/*.cpp)
list(FILTER WEB_GAME_SOURCES EXCLUDE REGEX
  "src/shell/main\\.cpp$|src/platform/(sdl|gl|web)/|src/assets/png\\.cpp$")
set_source_files_properties(src/shell/options.cpp PROPERTIES COMPILE_DEFINITIONS
  "VEXALOID_VERSION=\"${PROJECT_VERSION}\"")
add_library(vexcore STATIC ${WEB_GAME_SOURCES} src/assets/web/pictures.cpp
  ${CMAKE_BINARY_DIR}/gen/pictures_rgb.cpp)
target_include_directories(vexcore PUBLIC src)
# The simulator ends a run by throwing from a present through the game's code,
# so its copy of the game is built with exceptions.
add_library(vexcore-sim STATIC ${WEB_GAME_SOURCES} src/assets/web/pictures.cpp
  ${CMAKE_BINARY_DIR}/gen/pictures_rgb.cpp)
target_include_directories(vexcore-sim PUBLIC src)
target_compile_options(vexcore-sim PUBLIC -sDISABLE_EXCEPTION_CATCHING=0)
target_link_options(vexcore-sim PUBLIC -sDISABLE_EXCEPTION_CATCHING=0)

# The simulator for node: the same command line, the host's files (NODERAWFS),
# one file with the WebAssembly inside.
add_executable(vexaloid-sim tools/sim/sim_main.cpp tools/sim/sim.cpp
  tools/sim/trace.cpp tools/sim/autopilot.cpp tools/sim/wavout.cpp tools/sim/shotpng_stored.cpp)
target_include_directories(vexaloid-sim PRIVATE tools/sim)
target_link_libraries(vexaloid-sim PRIVATE vexcore-sim)
target_link_options(vexaloid-sim PRIVATE -sNODERAWFS=1 -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1
  -sEXIT_RUNTIME=1 -sENVIRONMENT=node)
