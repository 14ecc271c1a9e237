# Makes the two downloads of one architecture in OUT_DIR:
#   TolvernLauncher-<VERSION>-<ARCH>.zip  the program, its help page and a Japanese read-me, to
#                                         unpack into any folder and run from there;
#   TolvernLauncher-<VERSION>-<ARCH>.msi  a per-user installer, made with wixl and msibuild
#                                         (Debian's wixl and msitools).
# cmake -DPROGRAM=exe -DHELP=html -DVERSION=x.y.z -DARCH=win64|win32 -DSTRIP=strip-tool
#       -DOUT_DIR=dir -DWORK_DIR=dir -P make-dist.cmake
foreach(var PROGRAM HELP VERSION ARCH STRIP OUT_DIR WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make-dist.cmake: ${var} is not set")
  endif()
endforeach()
set(res ${CMAKE_CURRENT_LIST_DIR}/../res)
set(name TolvernLauncher-${VERSION}-${ARCH})
set(stage ${WORK_DIR}/${name})
set(readme "はじめにお読みください.txt")
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage} ${OUT_DIR})

# The program without its debugging information, the help page beside it, and the read-me as
# Notepad reads it on every Windows version: UTF-8 with a byte order mark, CRLF line ends.
execute_process(COMMAND ${STRIP} --strip-all -o ${stage}/TolvernLauncher.exe ${PROGRAM}
                COMMAND_ERROR_IS_FATAL ANY)
file(COPY ${HELP} DESTINATION ${stage})
configure_file(${res}/dist/readme-ja.txt.in ${WORK_DIR}/readme.txt @ONLY)
file(READ ${WORK_DIR}/readme.txt text)
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 bom)
file(WRITE "${stage}/${readme}" "${bom}${text}")

# The zip, its names marked as UTF-8 (which needs a UTF-8 locale for the archiver).
file(REMOVE ${WORK_DIR}/${name}.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8
                        ${CMAKE_COMMAND} -E tar cf ${WORK_DIR}/${name}.zip --format=zip
                        TolvernLauncher.exe TolvernLauncherHelp.html "${readme}"
                WORKING_DIRECTORY ${stage} COMMAND_ERROR_IS_FATAL ANY)

# The installer. Each version and architecture has a product code of its own, the same at every
# build of it; the upgrade code in the .wxs is the same for all, so a newer version replaces an
# older one.
string(UUID product_code NAMESPACE 7EAC8CBD-3236-43B1-88FD-4A4AA5968BC0 NAME ${name} TYPE SHA1
       UPPER)
if(ARCH STREQUAL "win64")
  set(platform x64)
  set(template "x64")
else()
  set(platform x86)
  set(template "Intel")
endif()
set(msi ${WORK_DIR}/${name}.msi)
file(REMOVE ${msi})
# wixl takes the files it packs by paths relative to where it runs.
file(COPY ${res}/icons/program.ico DESTINATION ${WORK_DIR})
execute_process(COMMAND wixl -a ${platform} -D Version=${VERSION} -D ProductCode=${product_code}
                        -D Stage=${name} -D Icon=program.ico -o ${msi} ${res}/installer/tolvern.wxs
                WORKING_DIRECTORY ${WORK_DIR} COMMAND_ERROR_IS_FATAL ANY)
# wixl leaves the code page neutral, which has no room for Japanese: 932 first, then the texts.
file(WRITE ${WORK_DIR}/codepage.idt "\r\n\r\n932\t_ForceCodepage\r\n")
execute_process(COMMAND msibuild ${msi} -i ${WORK_DIR}/codepage.idt COMMAND_ERROR_IS_FATAL ANY)
# One statement a line (none may hold a semicolon: CMake would split it).
file(STRINGS ${res}/installer/installer.sql lines ENCODING UTF-8)
set(queries)
foreach(line IN LISTS lines)
  if(line AND NOT line MATCHES "^--")
    list(APPEND queries -q "${line}")
  endif()
endforeach()
execute_process(COMMAND msibuild ${msi} ${queries} COMMAND_ERROR_IS_FATAL ANY)
# The package's language is Japanese (wixl writes English into its summary).
execute_process(COMMAND msibuild ${msi} -s "Tolvern Launcher" Marrowick "${template};1041"
                COMMAND_ERROR_IS_FATAL ANY)

# Only this version's files stay in OUT_DIR.
file(GLOB older ${OUT_DIR}/TolvernLauncher-*-${ARCH}.zip ${OUT_DIR}/TolvernLauncher-*-${ARCH}.msi)
if(older)
  file(REMOVE ${older})
endif()
file(COPY ${WORK_DIR}/${name}.zip ${msi} DESTINATION ${OUT_DIR})
message(STATUS "dist: ${OUT_DIR}/${name}.zip, ${OUT_DIR}/${name}.msi")
