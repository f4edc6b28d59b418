/* VIRODARO's exported existence test, for programs that load VIRODARO.EXE (Windows) or
 * libvirodaro.so (POSIX) and call it.
 *
 * Texts. EXIST takes a pointer to a variable that holds a text of the VIRODARO runtime: a
 * pointer to the first byte of a block whose byte count stands, as a 32-bit unsigned
 * integer in the machine's byte order, in the four bytes before that byte, and whose last
 * byte is followed by a NUL byte. The bytes are passed to the file system unchanged (no
 * character-set conversion). The empty text is the null pointer. On Windows such a block
 * is an OLE byte string: SysAllocStringByteLen makes one and SysFreeString frees it. On
 * every platform virodaro_text_new and virodaro_text_free below do the same.
 *
 * EXIST may be called from any thread of a program that never ran VIRODARO itself. */
#ifndef VIRODARO_EXIST_H
#define VIRODARO_EXIST_H

#include <stdint.h>

#if defined(VIRODARO_BUILDING_EXPORTS) && defined(_WIN32)
#define VIRODARO_API __declspec(dllexport)
#elif defined(VIRODARO_BUILDING_EXPORTS)
#define VIRODARO_API __attribute__((visibility("default")))
#else
#define VIRODARO_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A text of the VIRODARO runtime, as described above. */
typedef char* virodaro_text;

/* -1 when a directory search for the path finds an ordinary file (read-only or not) or a
 * directory, 0 otherwise. The path may hold the wildcards "*" (any run of characters) and
 * "?" (one character); "*.*" matches every name. Hidden and system entries and the entries
 * "." and ".." do not count; on POSIX a name starting with "." is hidden and anything that
 * is neither a regular file nor a directory is a system entry. A path too long for the
 * platform, or holding a NUL byte, gives 0. A null pointer or the empty text asks the
 * search that the previous call on this thread left open for its next such entry (0 when
 * there is none). */
VIRODARO_API int32_t EXIST(const virodaro_text* path);

/* A new text holding `length` bytes copied from `bytes`; null for length 0 (the empty text)
 * and when memory is short. Free it with virodaro_text_free. */
VIRODARO_API virodaro_text virodaro_text_new(const char* bytes, uint32_t length);

/* Frees a text made by virodaro_text_new (or, on Windows, SysAllocStringByteLen); null is
 * allowed. */
VIRODARO_API void virodaro_text_free(virodaro_text text);

#ifdef __cplusplus
}
#endif

#endif /* VIRODARO_EXIST_H */
