# Writes the file IN as a C++ raw string literal into OUT.
file(READ ${IN} CONTENT)
file(WRITE ${OUT} "R\"tallowmere_text(${CONTENT})tallowmere_text\"\n")
