# Debian's hardening flags for every target: velmora and velmora-cli read
# disc images that nobody vouches for. The flags come from dpkg-buildflags
# with every hardening feature switched on (stack protector, _FORTIFY_SOURCE,
# full RELRO, BIND_NOW, PIE); its optimisation, debug and path-mapping flags
# are left out, as the build type chooses those. Without dpkg-buildflags the
# same flags are set by hand.
#
# Stack-clash and control-flow protection (x86 IBT and shadow stack) are
# added where the compiler has them: hardening-check asks for them, and
# Debian 12's dpkg-buildflags does not give them yet. The linker marks a
# program as control-flow protected only when every object in it is, and
# Debian 12's C start files (crt1.o, crti.o) carry no mark, so the mark is
# asked for explicitly. Our own code has the end-branch instructions and
# keeps return addresses on the stack; Linux enforces only shadow stacks for
# programs, and only when every library loaded is marked too.
#
# Sanitizer and fuzzing builds stay without them: _FORTIFY_SOURCE's checked
# functions hide accesses from AddressSanitizer.

include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)
include(CheckPIESupported)

function(velmora_dpkg_buildflags out var)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env
            "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-fixfilepath,-fixdebugpath"
            "DEB_${var}_MAINT_STRIP=-g -O2"
            ${DPKG_BUILDFLAGS} --get ${var}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "dpkg-buildflags --get ${var} failed")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

function(velmora_harden)
  find_program(DPKG_BUILDFLAGS dpkg-buildflags)
  if(DPKG_BUILDFLAGS)
    velmora_dpkg_buildflags(compile CXXFLAGS)
    velmora_dpkg_buildflags(preprocess CPPFLAGS)
    velmora_dpkg_buildflags(link LDFLAGS)
    set(source "dpkg-buildflags")
  else()
    set(compile -fstack-protector-strong -Wformat -Werror=format-security)
    set(preprocess -D_FORTIFY_SOURCE=2)
    set(link -Wl,-z,relro -Wl,-z,now)
    set(source "the built-in list (dpkg-buildflags not found)")
  endif()
  check_cxx_compiler_flag(-fstack-clash-protection VELMORA_HAS_STACK_CLASH_PROTECTION)
  if(VELMORA_HAS_STACK_CLASH_PROTECTION AND NOT -fstack-clash-protection IN_LIST compile)
    list(APPEND compile -fstack-clash-protection)
  endif()
  check_cxx_compiler_flag(-fcf-protection VELMORA_HAS_CF_PROTECTION)
  if(VELMORA_HAS_CF_PROTECTION)
    if(NOT -fcf-protection IN_LIST compile)
      list(APPEND compile -fcf-protection)
    endif()
    check_linker_flag(CXX "LINKER:-z,ibt,-z,shstk" VELMORA_LINKER_MARKS_CF_PROTECTION)
    if(VELMORA_LINKER_MARKS_CF_PROTECTION)
      list(APPEND link -Wl,-z,ibt -Wl,-z,shstk)
    endif()
  endif()

  add_compile_options(${compile})
  # _FORTIFY_SOURCE works only with optimisation; a Debug build would warn.
  foreach(define ${preprocess})
    add_compile_options($<$<NOT:$<CONFIG:Debug>>:${define}>)
  endforeach()
  add_link_options(${link})

  # Position-independent executables, asked for explicitly rather than left
  # to the compiler's default.
  check_pie_supported(LANGUAGES CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON PARENT_SCOPE)
  string(JOIN " " shown ${compile} ${preprocess} ${link})
  message(STATUS "Hardening flags from ${source}: ${shown}")
endfunction()
