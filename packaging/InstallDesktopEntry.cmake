# Runs at install time: writes the menu entry with Exec= naming the installed
# program by its absolute path, so the entry works from any prefix, also
# one whose bin folder is not in PATH. The prefix is known only now:
# `cmake --install --prefix DIR` and CPack choose it after configuring.
#
# Set by the install rule: VELMORA_DESKTOP_IN (the template), VELMORA_BINDIR
# and VELMORA_APPDIR (relative to the prefix, or absolute), VELMORA_STAGE (a
# folder of the build to write the entry in before installing it).

function(velmora_under_prefix out dir)
  if(NOT IS_ABSOLUTE "${dir}")
    get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
    set(dir "${prefix}/${dir}")
  endif()
  set(${out} "${dir}" PARENT_SCOPE)
endfunction()

# The program as one argument of Exec=: quoted when it holds a character
# that the desktop entry format reserves, with the escapes of both of its
# levels (inside the quotes a backslash, quote, backquote or dollar takes a
# backslash, and every backslash of the value is written twice); a percent
# sign is doubled so that it is no field code.
function(velmora_exec_argument out path)
  if(path MATCHES "[\n\r]")
    message(FATAL_ERROR "a desktop entry cannot name a program whose path has a line break: ${path}")
  endif()
  set(quote FALSE)
  foreach(c " " "\t" "\"" "'" "\\" ">" "<" "~" "|" "&" "$" "*" "?" "#" "(" ")" "`")
    string(FIND "${path}" "${c}" at)
    if(at GREATER -1)
      set(quote TRUE)
    endif()
  endforeach()
  string(FIND "${path}" ";" at)
  if(at GREATER -1)
    set(quote TRUE)
  endif()
  if(quote)
    string(REPLACE "\\" "\\\\\\\\" path "${path}")
    foreach(c "\"" "`" "$")
      string(REPLACE "${c}" "\\\\${c}" path "${path}")
    endforeach()
    set(path "\"${path}\"")
  endif()
  string(REPLACE "%" "%%" path "${path}")
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

velmora_under_prefix(bindir "${VELMORA_BINDIR}")
velmora_under_prefix(appdir "${VELMORA_APPDIR}")
velmora_exec_argument(VELMORA_EXEC "${bindir}/velmora")

# One staging folder per destination, so that installations into two
# prefixes at once do not write the same file.
string(MD5 destination "$ENV{DESTDIR}${appdir}")
set(staged "${VELMORA_STAGE}/${destination}/velmora.desktop")
configure_file("${VELMORA_DESKTOP_IN}" "${staged}" @ONLY)
file(INSTALL DESTINATION "${appdir}" TYPE FILE FILES "${staged}")
