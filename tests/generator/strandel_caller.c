/* strandel_caller.c - calls the real library the way a program does, for the process-level tests.
 *
 *   strandel_caller [--results FILE] NAME_LONG NAME_SHORT LANGUAGE SOURCE_EXT EXTERN_EXT DOC_EXT
 *                   [NEXT_SKELETON ...]
 *
 * Calls vdgentemplate once with the six values; then, for each NEXT_SKELETON, puts that file in
 * place of skels/template.skl ("-" removes it) and calls again. A value as long as its field is
 * passed without a NUL, and the bytes after a NUL are 0xAB, so reading past a field would show.
 * Each call's result is written to FILE, one line per call. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "strandel.h"

static void put(char* field, size_t capacity, const char* value) {
    size_t n = strlen(value);
    if (n > capacity) n = capacity;
    memcpy(field, value, n);
    if (n < capacity) field[n] = '\0';
}

static int replace_skeleton(const char* from) {
    static const char* const target = "skels/template.skl";
    FILE* in;
    FILE* out;
    char block[4096];
    size_t n;
    remove(target);
    if (strcmp(from, "-") == 0) return 0;
    in = fopen(from, "rb");
    out = fopen(target, "wb");
    if (!in || !out) {
        fprintf(stderr, "strandel_caller: cannot copy %s\n", from);
        return -1;
    }
    while ((n = fread(block, 1, sizeof block, in)) > 0) fwrite(block, 1, n, out);
    fclose(in);
    return fclose(out) == 0 ? 0 : -1;
}

int main(int argc, char** argv) {
    MYTPLOPTS opts;
    FILE* results = NULL;
    int first = 1;
    int i;
    if (argc > 2 && strcmp(argv[1], "--results") == 0) {
        results = fopen(argv[2], "w");
        first = 3;
    }
    if (argc - first < 6) {
        fprintf(stderr,
                "usage: strandel_caller [--results FILE] NAME_LONG NAME_SHORT LANGUAGE "
                "SOURCE_EXT EXTERN_EXT DOC_EXT [NEXT_SKELETON ...]\n");
        return 64;
    }
    memset(&opts, 0xAB, sizeof opts);
    put(opts.NAME_LONG, sizeof opts.NAME_LONG, argv[first]);
    put(opts.NAME_SHORT, sizeof opts.NAME_SHORT, argv[first + 1]);
    put(opts.LANGUAGE, sizeof opts.LANGUAGE, argv[first + 2]);
    put(opts.SOURCE_EXT, sizeof opts.SOURCE_EXT, argv[first + 3]);
    put(opts.EXTERN_EXT, sizeof opts.EXTERN_EXT, argv[first + 4]);
    put(opts.DOC_EXT, sizeof opts.DOC_EXT, argv[first + 5]);
    for (i = first + 5; i < argc; ++i) {
        int32_t result;
        if (i > first + 5 && replace_skeleton(argv[i]) != 0) return 65;
        result = vdgentemplate(opts);
        if (results) {
            fprintf(results, "%d\n", (int)result);
            fflush(results);
        }
    }
    return 0;
}
