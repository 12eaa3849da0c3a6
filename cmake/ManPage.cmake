# plugsetup.1 from what plugsetup --help prints, so the man page lists every command and option
# the program knows, with what each does, the exit statuses and examples. cmake -DPLUGSETUP=program -DOUTPUT=file -DVERSION=x.y.z -P ManPage.cmake
execute_process(COMMAND ${PLUGSETUP} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PLUGSETUP} --help failed: ${status}")
endif()
# troff reads a backslash as an escape and a line starting with "." or "'" as a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
file(WRITE ${OUTPUT} ".TH PLUGSETUP 1 \"\" \"plugsetup ${VERSION}\" \"User Commands\"
.SH NAME
plugsetup \\- build, check and inspect Windows setup programs for plug-ins
.SH SYNOPSIS
.B plugsetup
.I COMMAND ARGS...
.SH DESCRIPTION
plugsetup turns a product folder (the plug-in's files and a Setup.ini) into one Windows setup
program, Setup.exe with the product appended. Without
.BR --stub ,
build takes Setup.exe from beside the plugsetup program, else from
.I ../share/plugsetup/
seen from its folder (where this package installs it).
.SH COMMANDS, OPTIONS, EXIT STATUS AND EXAMPLES
.nf
${help}.fi
.SH FILES
.TP
.I /usr/share/plugsetup/Setup.exe
the setup program that build wraps a product in
.TP
.I /usr/share/doc/plugsetup/examples/
complete example products (gadget, synth64, bundle) and CI workflows (ci/linux.yml, ci/windows.yml)
.SH SEE ALSO
The vendor's guide and the CI recipe, in /usr/share/doc/plugsetup/ (guide.md, ci.md).
")
