# Writes the sample product's manifest and payload resources from the real
# files, stored plain, until the packer makes them. Run with cmake -P and
# -DOUT=<dir> -DROWS=<name|resource|caption|path;...>.
set(rows "")
set(rc "")
set(count 0)
foreach(row ${ROWS})
    string(REPLACE "|" ";" fields "${row}")
    list(GET fields 0 name)
    list(GET fields 1 resource)
    list(GET fields 2 caption)
    list(GET fields 3 path)
    file(SIZE "${path}" size)
    string(TOUPPER "${resource}" upper)
    string(APPEND rows "        {\"${name}\", \"${resource}\", \"${caption}\", ${size}, ${size}},\n")
    string(APPEND rc "${upper} RCDATA \"${path}\"\n")
    math(EXPR count "${count} + 1")
endforeach()
while(count LESS 5)
    string(APPEND rows "        {\"\", \"\", \"\", 0, 0},\n")
    math(EXPR count "${count} + 1")
endwhile()
list(LENGTH ROWS used)
file(WRITE "${OUT}/manifest.cpp.new" "// Generated from the sample product's files.
#include \"manifest/manifest.h\"

const InstallManifest Manifest = {
    \"Cratewise\",
    \"Shareware\\\\Dornwick\\\\Programs\\\\%s\\\\%s\",
    \"Pellomark\",
    \"Software updates made easy!\",
    \"1.01\",
    \"C:\\\\Dornwick\\\\%s\",
    {
${rows}    },
    ${used},
    ${used},
};

const char SupportAddress[] = \"support@dornwick.example\";
")
file(WRITE "${OUT}/payload.rc.new" "${rc}")
foreach(f manifest.cpp payload.rc)
    file(COPY_FILE "${OUT}/${f}.new" "${OUT}/${f}" ONLY_IF_DIFFERENT)
    file(REMOVE "${OUT}/${f}.new")
endforeach()
