# Writes carried.rc: the three carried files as resources, their SHA-256
# digests, and the distribution's code, each byte as two hexadecimal
# digits. Run by the build as a script:
#
#   cmake -DSETUP=FILE -DDLL=FILE -DARCHIVE=FILE -DCODE_FILE=FILE -DOUT=FILE -P carried.cmake
set(digests "")
foreach(file IN ITEMS "${SETUP}" "${DLL}" "${ARCHIVE}")
    file(SHA256 "${file}" digest)
    string(APPEND digests "${digest}")
endforeach()
file(READ "${CODE_FILE}" code HEX)
file(WRITE "${OUT}.new" "/* Made by the build from the files it carries. */
#include \"corvane_setup.rc\"

SETUP.EXE RCDATA \"${SETUP}\"
DUNZIP32.DLL RCDATA \"${DLL}\"
CORVANE.ZIP RCDATA \"${ARCHIVE}\"
DIGESTS RCDATA { \"${digests}\" }
CODE RCDATA { \"${code}\" }
")
file(RENAME "${OUT}.new" "${OUT}")
