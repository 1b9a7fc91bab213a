/* The recognition engine's C ABI (libscribeng.so).
 *
 * The recognition box loads the library by file name from its own folder and binds every entry point by
 * name; the names and signatures below are fixed. Results of 0 mean success unless stated otherwise;
 * indexes are 0-based; an argument named `zero` is always passed as 0. Points are canvas pixels.
 * No entry point throws, and none crashes on a bad handle, a negative count or an out-of-range index. */
#ifndef SLATEWISE_CONTRACTS_SCRIBENG_H
#define SLATEWISE_CONTRACTS_SCRIBENG_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#define SCRIBENG_NOEXCEPT noexcept
#else
#define SCRIBENG_NOEXCEPT
#endif

typedef int32_t PtwHandle; /* handle of a PTW record in the handle table, 0 = none */
typedef struct {
    int32_t x, y;
} EnginePoint; /* canvas pixels */
typedef struct {
    int32_t left, top, right, bottom;
} EngineRect;
/* 12 bytes; code: low 16 bits = lead byte * 256 + trail byte of a code page 932 character; 0 ends the list.
 * score and rank are the engine's own. */
typedef struct {
    int32_t score;
    int32_t rank;
    uint32_t code;
} CandidateEntry;

int32_t CreateNewObject(void) SCRIBENG_NOEXCEPT; /* new empty object; 0 = none */
int32_t DestroyObject(int32_t object) SCRIBENG_NOEXCEPT;
int32_t AddStrokeLast(int32_t object, const EnginePoint* points,
                      int32_t count) SCRIBENG_NOEXCEPT;     /* 0 = ok; copied */
int32_t DeleteStrokeLast(int32_t object) SCRIBENG_NOEXCEPT; /* 0 = ok */
int32_t GetStrokeCount(int32_t object) SCRIBENG_NOEXCEPT;   /* number of strokes */
const EnginePoint* GetNthStroke(int32_t object, int32_t stroke,
                                int32_t* count) SCRIBENG_NOEXCEPT; /* engine-owned; null = none */
int32_t SetRecCategory(int32_t mask) SCRIBENG_NOEXCEPT;            /* 0 = ok; used by later recognitions */
int32_t RecognizeNF(int32_t object) SCRIBENG_NOEXCEPT;             /* 0 = a result exists */
int32_t GiveStrokeSetInfo(int32_t object, int32_t zero, int32_t first,
                          int32_t last) SCRIBENG_NOEXCEPT; /* 0 = ok */
const char* GetString(int32_t object, int32_t zero, int32_t* charCount)
    SCRIBENG_NOEXCEPT; /* engine-owned NUL-terminated code page 932; null = none */
int32_t GetStrokeNoOfNthChar(int32_t object, int32_t zero, int32_t ch, int32_t* first,
                             int32_t* last) SCRIBENG_NOEXCEPT; /* 0 = ok */
int32_t GetNthCharBound(int32_t object, int32_t zero, int32_t ch,
                        EngineRect* box) SCRIBENG_NOEXCEPT; /* 0 = ok */
PtwHandle GetPatternW(int32_t object, int32_t zero,
                      int32_t lastStroke) SCRIBENG_NOEXCEPT; /* PTW of strokes 0..lastStroke; 0 = none */
PtwHandle GetPatternWOfNthChar(int32_t object, int32_t zero, int32_t ch) SCRIBENG_NOEXCEPT; /* 0 = none */
int32_t DestroyPatternW(PtwHandle ptw) SCRIBENG_NOEXCEPT;
int32_t SetGuideBox(int32_t right, int32_t bottom, int32_t left, int32_t top) SCRIBENG_NOEXCEPT;
int32_t RecognizeF(PtwHandle ptw, CandidateEntry* list,
                   int32_t count) SCRIBENG_NOEXCEPT; /* 0 = candidates written, best first */

/* Category mask bits of SetRecCategory. */
#define SCRIBENG_CAT_HIRAGANA 0x001
#define SCRIBENG_CAT_DIGIT 0x002
#define SCRIBENG_CAT_KATAKANA 0x004
#define SCRIBENG_CAT_OTHER 0x088
#define SCRIBENG_CAT_KANJI1 0x010
#define SCRIBENG_CAT_KANJI2 0x020
#define SCRIBENG_CAT_LATIN 0x040
#define SCRIBENG_CAT_PUNCTUATION 0x100

#ifdef __cplusplus
}
#endif

#endif /* SLATEWISE_CONTRACTS_SCRIBENG_H */
