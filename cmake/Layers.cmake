# The folder graph, declared once. A node is a folder of the source tree (or one file, where a
# folder holds a program's main beside a library); it may include its own headers and those of
# every node it builds on, directly or through the nodes below. The build links each library
# and program to the libraries of the nodes it names here, and the `layers_check` test
# (cmake/LayersCheck.cmake) reads every source's #include "…" lines against the same graph.
#
#   sb_layer(<node> [LIBRARY <target>] [DEPENDS <node>...])
#
# Included by the top-level CMakeLists and by the check script (cmake -P), so it only declares.

macro(sb_layer node)
  cmake_parse_arguments(_sb_layer "" "LIBRARY" "DEPENDS" ${ARGN})
  list(APPEND SB_LAYER_NODES ${node})
  set(SB_LAYER_LIBRARY_${node} ${_sb_layer_LIBRARY})
  set(SB_LAYER_DEPENDS_${node} ${_sb_layer_DEPENDS})
endmacro()

set(SB_LAYER_NODES)

# The product, each line building on those above it:
#   platform
#   platform/sdl, platform/fake     the real backend and the test backend
#   engine                          ← platform
#   input, audio, game/state        ← engine
#   entities                        ← game/state, input
#   game                            ← entities, audio, game/files, game/assets, game/texts
#   the program (game/main.cpp)     ← game, platform/sdl
sb_layer(platform                LIBRARY sb_platform)
sb_layer(platform/sdl            LIBRARY sb_platform_sdl     DEPENDS platform)
sb_layer(platform/fake           LIBRARY sb_platform_fake    DEPENDS platform)
sb_layer(engine                  LIBRARY sb_engine           DEPENDS platform)
sb_layer(input                   LIBRARY sb_input            DEPENDS engine)
sb_layer(audio                   LIBRARY sb_audio            DEPENDS engine)
# What the sprite classes share with the main window: globals, the host interface, the random
# generator. Below both, so neither the sprites nor the windows lead back to the other.
sb_layer(game/state              LIBRARY sb_game_state       DEPENDS engine)
sb_layer(entities                LIBRARY sb_entities         DEPENDS game/state input)
# The score table and options files (the game and the set-up tool read and write them).
sb_layer(game/files              LIBRARY sb_game_files       DEPENDS platform)
# The sounds and pictures the program carries, made by the data generator (tools/gen).
sb_layer(game/assets             LIBRARY sb_assets)
# Every text in words, in Russian and English (the game's windows and the set-up tool's).
sb_layer(game/texts              LIBRARY sb_texts            DEPENDS platform)
sb_layer(game                    LIBRARY sb_game             DEPENDS entities audio game/files game/assets game/texts)
sb_layer(game/main.cpp                                       DEPENDS game platform/sdl)

# Tools: the data generator stands alone; the set-up tool uses the product's files and data.
# The data generator draws its text with SDL_ttf, so it holds SDL objects like the backend.
sb_layer(tools/gen                                           DEPENDS platform platform/sdl)
sb_layer(tools/setup             LIBRARY sb_setup            DEPENDS game/files game/assets game/texts platform/sdl)
sb_layer(tools/setup/main.cpp                                DEPENDS tools/setup)

# What tests and benchmarks share (the scripted player); tests themselves are used by nothing.
sb_layer(testkit                 LIBRARY sb_testkit          DEPENDS game platform/fake)
sb_layer(tests                   LIBRARY sb_test_environment)
sb_layer(tests/platform                                      DEPENDS tests platform/sdl platform/fake)
sb_layer(tests/engine                                        DEPENDS tests engine platform/fake)
sb_layer(tests/input                                         DEPENDS tests input platform/sdl platform/fake)
sb_layer(tests/audio                                         DEPENDS tests audio platform/sdl platform/fake)
sb_layer(tests/entities                                      DEPENDS tests entities platform/fake)
sb_layer(tests/game                                          DEPENDS tests testkit tools/setup platform/sdl)
sb_layer(tests/tools                                         DEPENDS tests game/assets platform)
sb_layer(tests/fuzz/targets                                  DEPENDS audio input game/files platform/fake)
sb_layer(bench                                               DEPENDS testkit platform/sdl)
