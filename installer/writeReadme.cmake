# Writes the readme as Windows' editor reads it by default: the system's
# single-byte code page (Western European) and CR LF line ends, with the
# release's version in place of @RELEASE@.
#   cmake -DSOURCE=Readme.txt -DRELEASE=1.21 -DTARGET=.../Readme.txt -P writeReadme.cmake
file(READ ${SOURCE} text)
string(CONFIGURE "${text}" text @ONLY)
foreach(pair "ä;228" "ö;246" "ü;252" "Ä;196" "Ö;214" "Ü;220" "ß;223")
    list(GET pair 0 utf8)
    list(GET pair 1 code)
    string(ASCII ${code} byte)
    string(REPLACE "${utf8}" "${byte}" text "${text}")
endforeach()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${TARGET} "${text}")
