# Lays out the package's files in FOLDER: the module file MODULE, INSTALL.txt
# made from the "Installing it in Lumora" section of README (up to its next
# heading, its markup taken out), and SHA256SUMS of both, as sha256sum -c
# reads them.
#   cmake -DREADME=... -DMODULE=... -DVERSION=... -DFOLDER=... -P package_files.cmake
file(MAKE_DIRECTORY ${FOLDER})
file(COPY_FILE ${MODULE} ${FOLDER}/Rowfork.lmx ONLY_IF_DIFFERENT)

file(STRINGS ${README} lines)
set(text "Rowfork ${VERSION}, an extension module for Lumora\n")
set(inside FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "^#")
    if(inside)
      break()
    endif()
    if(line STREQUAL "## Installing it in Lumora")
      set(inside TRUE)
      string(APPEND text "\nInstalling it in Lumora\n=======================\n")
    endif()
    continue()
  endif()
  if(inside AND NOT line MATCHES "^ *```")
    string(REPLACE "`" "" line "${line}")
    string(APPEND text "${line}\n")
  endif()
endforeach()
if(NOT inside)
  message(FATAL_ERROR "${README} has no section \"Installing it in Lumora\"")
endif()
# Windows line ends: the file is read on Windows.
string(REGEX REPLACE "\n+$" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${FOLDER}/INSTALL.txt "${text}")

set(sums "")
foreach(name Rowfork.lmx INSTALL.txt)
  file(SHA256 ${FOLDER}/${name} hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE ${FOLDER}/SHA256SUMS "${sums}")
