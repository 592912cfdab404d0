/* consumer.c - a program built against the installed library, as any other program would be:
 * only the public header and the library. */
#include <stdio.h>
#include <string.h>

#include <strandel.h>

int main(void) {
    MYTPLOPTS opts;
    memset(&opts, 0, sizeof opts);
    strcpy(opts.NAME_LONG, "Ledger Report");
    strcpy(opts.NAME_SHORT, "ledgr");
    strcpy(opts.LANGUAGE, "Fortran");
    strcpy(opts.SOURCE_EXT, "f90");
    strcpy(opts.EXTERN_EXT, "inc");
    strcpy(opts.DOC_EXT, "md");
    return (int)vdgentemplate(opts);
}
