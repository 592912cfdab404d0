/* strandel.h - the template generator's only public interface: the options record and
 * vdgentemplate. Plain C so that any caller, C or C++, on Linux or 32-bit Windows, can use it. */
#ifndef STRANDEL_H
#define STRANDEL_H

#include <stddef.h>
#include <stdint.h>

/* STRANDEL_API marks the one exported function; STRANDEL_CALL is its calling convention.
 * On 32-bit Windows the function is stdcall, so its export carries the decorated name
 * _vdgentemplate@96 that callers bind by name. */
#if defined(_WIN32)
#  if defined(STRANDEL_BUILDING)
#    define STRANDEL_API __declspec(dllexport)
#  else
#    define STRANDEL_API __declspec(dllimport)
#  endif
#  define STRANDEL_CALL __stdcall
#else
#  if defined(STRANDEL_BUILDING)
#    define STRANDEL_API __attribute__((visibility("default")))
#  else
#    define STRANDEL_API
#  endif
#  define STRANDEL_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The six values of a new template. Every field is single-byte text ended by a NUL within its
 * capacity; bytes after the NUL carry no meaning. The layout is fixed to the byte: 94 bytes, no
 * gaps, no header. */
typedef struct MYTPLOPTS {
    char NAME_LONG[64]; /* template name */
    char NAME_SHORT[6]; /* short name; first part of every output file name */
    char LANGUAGE[9];   /* source language name */
    char SOURCE_EXT[5]; /* source file extension */
    char EXTERN_EXT[5]; /* external source file extension */
    char DOC_EXT[5];    /* documentation file extension */
} MYTPLOPTS;

/* Expands the skeleton .//skels//template.skl of the current directory into the files it names,
 * filling placeholders from opts. Returns 0 once the skeleton has been read to its end, 1 when a
 * later call in the same process finds no skeleton. Not re-entrant; one thread at a time. */
STRANDEL_API int32_t STRANDEL_CALL vdgentemplate(MYTPLOPTS opts);

#ifdef __cplusplus
}
#endif

/* The layout is what crosses between separately built programs; let every compiler that includes
 * this header prove it. */
#if defined(__cplusplus)
#  define STRANDEL_ASSERT_LAYOUT(cond, what) static_assert(cond, what)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#  define STRANDEL_ASSERT_LAYOUT(cond, what) _Static_assert(cond, what)
#else
#  define STRANDEL_JOIN2(a, b) a##b
#  define STRANDEL_JOIN(a, b) STRANDEL_JOIN2(a, b)
#  define STRANDEL_ASSERT_LAYOUT(cond, what) \
    typedef char STRANDEL_JOIN(strandel_layout_check_, __LINE__)[(cond) ? 1 : -1]
#endif

STRANDEL_ASSERT_LAYOUT(sizeof(MYTPLOPTS) == 94, "MYTPLOPTS is 94 bytes");
STRANDEL_ASSERT_LAYOUT(offsetof(MYTPLOPTS, NAME_LONG) == 0, "NAME_LONG at 0");
STRANDEL_ASSERT_LAYOUT(offsetof(MYTPLOPTS, NAME_SHORT) == 64, "NAME_SHORT at 64");
STRANDEL_ASSERT_LAYOUT(offsetof(MYTPLOPTS, LANGUAGE) == 70, "LANGUAGE at 70");
STRANDEL_ASSERT_LAYOUT(offsetof(MYTPLOPTS, SOURCE_EXT) == 79, "SOURCE_EXT at 79");
STRANDEL_ASSERT_LAYOUT(offsetof(MYTPLOPTS, EXTERN_EXT) == 84, "EXTERN_EXT at 84");
STRANDEL_ASSERT_LAYOUT(offsetof(MYTPLOPTS, DOC_EXT) == 89, "DOC_EXT at 89");

#endif /* STRANDEL_H */
