# Third-party dependencies, all from Debian's packages. Their headers are
# included as system headers so that our warning flags apply to our code only.
find_package(PkgConfig REQUIRED)
pkg_check_modules(LIBUSB REQUIRED IMPORTED_TARGET libusb-1.0)

# libusb 1.0.26 (Debian 12) has neither of these; use them where present.
include(CheckSymbolExists)
set(CMAKE_REQUIRED_INCLUDES ${LIBUSB_INCLUDE_DIRS})
set(CMAKE_REQUIRED_LIBRARIES ${LIBUSB_LINK_LIBRARIES})
check_symbol_exists(libusb_init_context "libusb.h" VANTREL_HAVE_LIBUSB_INIT_CONTEXT)
check_symbol_exists(libusb_get_device_string "libusb.h" VANTREL_HAVE_LIBUSB_GET_DEVICE_STRING)
unset(CMAKE_REQUIRED_INCLUDES)
unset(CMAKE_REQUIRED_LIBRARIES)

# wxWidgets through wx-config: wx::base (no display needed) and wx::gui.
find_program(WX_CONFIG wx-config REQUIRED)
function(vantrel_wx_target name libs)
  execute_process(COMMAND ${WX_CONFIG} --cxxflags ${libs} OUTPUT_VARIABLE cflags
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${WX_CONFIG} --libs ${libs} OUTPUT_VARIABLE ldflags
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(cflags UNIX_COMMAND "${cflags}")
  separate_arguments(ldflags UNIX_COMMAND "${ldflags}")
  set(includes "")
  set(options "")
  foreach(flag IN LISTS cflags)
    if(flag MATCHES "^-I(.*)")
      list(APPEND includes "${CMAKE_MATCH_1}")
    else()
      list(APPEND options "${flag}")
    endif()
  endforeach()
  add_library(${name} INTERFACE IMPORTED GLOBAL)
  target_include_directories(${name} SYSTEM INTERFACE ${includes})
  target_compile_options(${name} INTERFACE ${options})
  target_link_libraries(${name} INTERFACE ${ldflags})
endfunction()
vantrel_wx_target(wx::base "base")
vantrel_wx_target(wx::gui "core,base,xrc,html,xml,adv")

if(VANTREL_TESTS)
  find_package(GTest REQUIRED)
  pkg_check_modules(UMOCKDEV REQUIRED IMPORTED_TARGET umockdev-1.0)
  find_program(UMOCKDEV_WRAPPER umockdev-wrapper REQUIRED)
  find_program(XVFB_RUN xvfb-run REQUIRED)
endif()
