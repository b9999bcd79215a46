# korvel_add_app(name source... [CAPTURE width height])
# Builds a Windows program on the framework: the sources supply AppSetup and AppMain.
# CAPTURE sets the capture size the program asks its cameras for (640 x 480 when omitted).
# Everything the program needs comes from this file's folder or from the korvel target, so the
# call works from any project that added the framework with add_subdirectory.
function(korvel_add_app name)
  cmake_parse_arguments(PARSE_ARGV 1 APP "" "" "CAPTURE")
  add_executable(${name} WIN32 ${APP_UNPARSED_ARGUMENTS}
    ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/../runtime/win_main.cpp)
  target_link_libraries(${name} PRIVATE korvel)
  korvel_capture_size(${name} ${APP_CAPTURE})
  if(NOT MSVC)
    target_link_options(${name} PRIVATE -municode)
  endif()
endfunction()

# korvel_capture_size(target [width height])
# Gives a program linked with korvel its capture size (640 x 480 when omitted). The library
# defines none, so every program states its own and none depends on which archive member the
# linker happens to skip.
function(korvel_capture_size target)
  set(size ${ARGN})
  if(NOT size)
    set(size 640 480)
  endif()
  list(GET size 0 width)
  list(GET size 1 height)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/capture_size.cpp)
  target_compile_definitions(${target} PRIVATE
    KRV_CAPTURE_WIDTH=${width} KRV_CAPTURE_HEIGHT=${height})
endfunction()
