/* @brief Public interface of the dizode search toolkit: thirteen operations,
 * their argument and reply records, status codes and the progress callback.
 *
 * Contract, for every operation:
 *  - Every operation returns a status: TK_OK (0) or one negative TK_E_* code.
 *    Callers test only the low 16 bits, read as a signed number.
 *  - Argument records are zero-filled by the caller, then carry their own size
 *    at offset 0 and TK_VERSION at offset 2 (dizode::MakeRecord does both for
 *    C++ callers). A record whose size or version is wrong gives
 *    TK_E_BAD_RECORD. The engine keeps no pointer into a record
 *    after the call returns.
 *  - Session, collection, search and collection-reply handles are 32-bit
 *    values with a generation count: a stale, foreign or doubly freed handle
 *    gives TK_E_BAD_HANDLE and never a crash. Search information and document
 *    batches are engine-owned records, valid until freed; freeing one twice or
 *    freeing a pointer the engine never gave out gives TK_E_BAD_HANDLE.
 *  - No exception crosses this interface.
 *  - Operations may be called from any thread for distinct sessions. One
 *    session is used by one thread at a time.
 *
 * Layout: on a 32-bit target every offset and size is exactly the one noted
 * beside each field (checked at compile time below). On a 64-bit target only
 * pointer fields widen, and the size field holds the record's size there.
 */
#ifndef DIZODE_DIZODE_H
#define DIZODE_DIZODE_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(DIZODE_BUILDING)
#define TK_API __declspec(dllexport)
#else
#define TK_API __declspec(dllimport)
#endif
#else
#define TK_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define TK_VERSION 576 /* 0x240, the version word of every record */

/* ---- Status codes --------------------------------------------------------- */
#define TK_OK 0
#define TK_E_BAD_ARGUMENT (-1)   /* a null pointer or an out-of-range value    */
#define TK_E_BAD_RECORD (-2)     /* record size or version is wrong            */
#define TK_E_BAD_HANDLE (-3)     /* stale, foreign or freed handle             */
#define TK_E_NO_COLLECTION (-4)  /* no collection at the path (open mode)      */
#define TK_E_CORRUPT (-5)        /* the collection's files are not usable      */
#define TK_E_IO (-6)             /* the file system refused a read or write    */
#define TK_E_BUSY (-7)           /* another process held the collection too long */
#define TK_E_NO_MEMORY (-8)      /* allocation failed                          */
#define TK_E_INTERNAL (-9)       /* unexpected database or library failure     */
#define TK_E_TIMEOUT (-10)       /* the query exceeded its time budget         */
#define TK_E_NOT_OPEN (-11)      /* the session has no open collection         */
#define TK_E_BAD_MODE (-12)      /* unknown collection mode or request code    */
#define TK_E_BAD_OPERATION (-13) /* unknown submission operation               */
#define TK_E_CREATE_FAILED (-14) /* the collection folder cannot be made       */
#define TK_E_READ_ONLY (-15)     /* the collection is read-only: updates are refused */
/* Query errors: one status per error code of the query language. */
#define TK_E_QUERY_UNKNOWN_OPERATOR (-20)
#define TK_E_QUERY_BAD_OPERATOR_ARGUMENT (-21)
#define TK_E_QUERY_MISSING_OPERAND (-22)
#define TK_E_QUERY_UNKNOWN_FIELD (-23)
#define TK_E_QUERY_MISSING_FIELD (-24)
#define TK_E_QUERY_FIELD_CONFLICT (-25)
#define TK_E_QUERY_NEAR_OPERAND (-26)
#define TK_E_QUERY_TOO_COMPLEX (-27)
#define TK_E_QUERY_INTERNAL (-28)

/* Returns a static English description of a status ("unknown status" for
 * anything not listed above). Never null. */
TK_API const char* TkStatusText(int32_t status);

/* ---- Handles -------------------------------------------------------------- */
typedef uint32_t TkSession;
typedef uint32_t TkCollection;
typedef uint32_t TkSearchHandle;
typedef uint32_t TkCollectionReply;

/* ---- Progress ------------------------------------------------------------- */
/* A status message handed to the progress callback. The text is valid only
 * during the call. Its first character tells the kind:
 *   'D' a document count, "Document N (name)": N is 1-based;
 *   'E' a failure that fails the whole submission;
 *   'I' and 'U' information that only steps a progress display;
 *   anything else is shown as it stands (a skipped page, a start line). */
typedef struct TkStatusMessage {
  uint16_t size;     /* 0                                                  */
  uint16_t version;  /* 2                                                  */
  uint32_t kind;     /* 4  one of TK_MSG_*                                  */
  uint32_t sequence; /* 8  1-based number of the message in the submission  */
  const char* text;  /* 12 NUL-terminated narrow text                       */
} TkStatusMessage;

/* Message kinds; the session record's mask (offset 114) selects which kinds
 * reach the callback. TK_MSG_ALL (63) selects every kind. */
#define TK_MSG_START 0x01
#define TK_MSG_DOCUMENT 0x02
#define TK_MSG_INFO 0x04
#define TK_MSG_UPDATE 0x08
#define TK_MSG_WARNING 0x10
#define TK_MSG_ERROR 0x20
#define TK_MSG_ALL 0x3F

typedef void (*TkProgressCallback)(void* context, const TkStatusMessage* message);

/* ---- Records -------------------------------------------------------------- */
/* Argument of TkOpenSession. 200 bytes on 32-bit targets. */
typedef struct TkSessionArgs {
  uint16_t size;               /* 0   */
  uint16_t version;            /* 2   */
  uint8_t reserved4[20];       /* 4   */
  const char* commonDir;       /* 24  toolkit common folder (may be empty) */
  uint8_t reserved28[32];      /* 28  */
  TkProgressCallback callback; /* 60  indexing progress, may be null        */
  void* callbackContext;       /* 64  handed back to the callback           */
  uint8_t reserved68[46];      /* 68  */
  uint16_t messageMask;        /* 114 which TK_MSG_* kinds are reported     */
  uint8_t reserved116[84];     /* 116 */
} TkSessionArgs;

#define TK_COLLECTION_OPEN 35    /* 0x23: open an existing, valid collection  */
#define TK_COLLECTION_CREATE 547 /* 0x223: create, replacing what is there   */
/* A creation builds the new collection beside the one in place, which stays
 * whole and searchable until the creation completes: at the creator's first
 * submission that commits, and only then (a submission of no pages makes an
 * empty collection). A creation closed before that is abandoned: the old
 * collection, or none, stays exactly as it was. When another process holds the
 * old collection so that it cannot be replaced (Windows), the submission fails
 * with TK_E_IO and its reason, the old collection stays, and the creation may
 * submit again or be closed. Opening tells apart no collection
 * (TK_E_NO_COLLECTION), an unusable one (TK_E_CORRUPT, rebuild it) and passing
 * failures (TK_E_IO, TK_E_BUSY: retry later). */
#define TK_CREATE_PARAM 11 /* createParam of a creation, as every caller sets it */

/* Argument of TkOpenCollection. 92 bytes on 32-bit targets. */
typedef struct TkCollectionArgs {
  uint16_t size;          /* 0  */
  uint16_t version;       /* 2  */
  uint8_t reserved4[4];   /* 4  */
  const char* path;       /* 8  the collection folder                  */
  const char* styleDir;   /* 12 creation only: collection style file   */
  uint32_t createParam;   /* 16 creation only: 11                      */
  uint8_t reserved20[8];  /* 20 */
  uint16_t mode;          /* 28 TK_COLLECTION_OPEN or _CREATE          */
  uint8_t reserved30[62]; /* 30 */
} TkCollectionArgs;

#define TK_REQUEST_REFRESH 11

/* Argument of TkQueryCollection. 28 bytes on 32-bit targets. */
typedef struct TkCollectionRequestArgs {
  uint16_t size;          /* 0  */
  uint16_t version;       /* 2  */
  uint8_t reserved4[8];   /* 4  */
  uint32_t request;       /* 12 TK_REQUEST_REFRESH                     */
  uint8_t reserved16[12]; /* 16 */
} TkCollectionRequestArgs;

#define TK_SUBMIT_ADD 2
#define TK_SUBMIT_DELETE 3
#define TK_SUBMIT_PARAM16 10 /* param16 of a submission, as every caller sets it */

/* Argument of TkSubmit. 36 bytes on 32-bit targets. */
typedef struct TkSubmitArgs {
  uint16_t size;          /* 0  */
  uint16_t version;       /* 2  */
  uint32_t operation;     /* 4  TK_SUBMIT_ADD or TK_SUBMIT_DELETE      */
  int32_t count;          /* 8  number of keys                         */
  char** keys;            /* 12 count NUL-terminated document keys     */
  uint32_t param16;       /* 16 10 from every caller                   */
  uint8_t reserved20[16]; /* 20 */
} TkSubmitArgs;

#define TK_SEARCH_PARAM48 (-1) /* param48 of a search, as every caller sets it */

/* Argument of TkSearch. 140 bytes on 32-bit targets. */
typedef struct TkSearchArgs {
  uint16_t size;          /* 0  */
  uint16_t version;       /* 2  */
  uint8_t reserved4[24];  /* 4  */
  const char* query;      /* 28 query text; null lists every document  */
  uint8_t reserved32[16]; /* 32 */
  int32_t param48;        /* 48 -1 from every caller                   */
  uint8_t reserved52[88]; /* 52 */
} TkSearchArgs;

/* Argument of TkGetSearchInfo. 24 bytes on 32-bit targets. */
typedef struct TkSearchInfoArgs {
  uint16_t size;         /* 0  */
  uint16_t version;      /* 2  */
  uint8_t reserved4[20]; /* 4  */
} TkSearchInfoArgs;

/* Reply of TkGetSearchInfo, owned by the engine until TkFreeSearchInfo. */
typedef struct TkSearchInfo {
  uint16_t size;          /* 0  */
  uint16_t version;       /* 2  */
  int32_t totalDocuments; /* 4  the full number of hits, not saturated */
  int32_t warningCount;   /* 8  warnings the query produced            */
  uint8_t reserved12[16]; /* 12 */
  int16_t documentCount;  /* 28 hits, saturated at 32767               */
  uint8_t reserved30[2];  /* 30 */
} TkSearchInfo;

#define TK_SEARCH_INFO_MAX_COUNT 32767

/* Argument of TkReadDocBatch. 44 bytes on 32-bit targets. A request for
 * TK_SEARCH_INFO_MAX_COUNT documents returns every hit of the search. */
typedef struct TkDocBatchArgs {
  uint16_t size;                 /* 0  */
  uint16_t version;              /* 2  */
  uint8_t reserved4[8];          /* 4  */
  TkSearchHandle search;         /* 12 the search whose documents are read    */
  uint32_t first;                /* 16 index of the first document (0)        */
  int32_t count;                 /* 20 number of documents wanted             */
  uint8_t reserved24[8];         /* 24 */
  uint16_t fieldCount;           /* 32 number of field names                  */
  uint8_t reserved34[2];         /* 34 */
  const char* const* fieldNames; /* 36 "SCORE", "VdkVgwKey", "Title"          */
  uint8_t reserved40[4];         /* 40 */
} TkDocBatchArgs;

/* Reply of TkReadDocBatch, owned by the engine until TkFreeDocBatch.
 * texts holds documentCount * fieldCount pointers: document 0's fields in the
 * order requested, then document 1's, and so on. An unknown field is "". */
typedef struct TkDocBatch {
  uint16_t size;            /* 0  */
  uint16_t version;         /* 2  */
  uint8_t reserved4[4];     /* 4  */
  int32_t documentCount;    /* 8  */
  uint16_t fieldCount;      /* 12 */
  uint8_t reserved14[2];    /* 14 */
  const char* const* texts; /* 16 */
} TkDocBatch;

/* ---- Operations (ordinal in the Windows export table beside each) --------- */
TK_API int32_t TkOpenSession(TkSession* session, const TkSessionArgs* args); /* 10 */
TK_API int32_t TkCloseSession(TkSession session);                            /* 12 */
TK_API int32_t TkOpenCollection(TkSession session, TkCollection* collection,
                                const TkCollectionArgs* args); /* 20 */
TK_API int32_t TkCloseCollection(TkCollection collection);     /* 21 */
TK_API int32_t TkQueryCollection(TkCollection collection, const TkCollectionRequestArgs* args,
                                 TkCollectionReply* reply);                 /* 22 */
TK_API int32_t TkFreeCollectionReply(TkCollectionReply reply);              /* 23 */
TK_API int32_t TkSubmit(TkCollection collection, const TkSubmitArgs* args); /* 25 */
TK_API int32_t TkSearch(TkSession session, TkSearchHandle* search,
                        const TkSearchArgs* args);  /* 30 */
TK_API int32_t TkFreeSearch(TkSearchHandle search); /* 31 */
TK_API int32_t TkGetSearchInfo(TkSearchHandle search, const TkSearchInfoArgs* args,
                               TkSearchInfo** info); /* 32 */
TK_API int32_t TkFreeSearchInfo(TkSearchInfo* info); /* 33 */
TK_API int32_t TkReadDocBatch(TkSession session, const TkDocBatchArgs* args,
                              TkDocBatch** batch); /* 52 */
TK_API int32_t TkFreeDocBatch(TkDocBatch* batch);  /* 53 */

/* Document count of a collection reply (TkQueryCollection), or -1 for a bad
 * reply handle. */
TK_API int32_t TkCollectionReplyCount(TkCollectionReply reply);

/* ---- Last failure of a session -------------------------------------------- */
/* Reply of TkGetLastError: the caller fills size and version (as for an
 * argument record), the engine fills the rest. 268 bytes on every target.
 *
 * Each operation on a session, or on a collection or search opened through it,
 * records its outcome in the session: a success clears the record (status
 * TK_OK, column 0, empty text), a failure replaces it. Operations whose handle
 * leads to no session (a bad collection, search or reply handle, the freeing
 * of search information and document batches) leave every record as it was.
 * TkGetLastError itself changes nothing.
 *
 * text is NUL-terminated UTF-8, cut at a character boundary to fit. For a
 * database or file failure it says what the engine was doing and what the
 * database or file system answered; for a query error it is the query
 * language's message. column is the 1-based position of the query error in
 * the query text passed to TkSearch, counted in characters (0 for any other
 * failure and for success). */
#define TK_ERROR_TEXT_SIZE 256
typedef struct TkErrorInfo {
  uint16_t size;                 /* 0  */
  uint16_t version;              /* 2  */
  int32_t status;                /* 4  the failure's TK_E_* status, or TK_OK  */
  int32_t column;                /* 8  query errors: 1-based column, else 0   */
  char text[TK_ERROR_TEXT_SIZE]; /* 12 */
} TkErrorInfo;

/* Copies the session's last failure into info. Returns TK_E_BAD_ARGUMENT for a
 * null info, TK_E_BAD_RECORD for a wrong size or version, TK_E_BAD_HANDLE for
 * a bad session handle. */
TK_API int32_t TkGetLastError(TkSession session, TkErrorInfo* info); /* 62 */

#ifdef __cplusplus
} /* extern "C" */

#include <cstring>

namespace dizode {

/* A record filled as the contract asks: zero bytes, then its own size and
 * TK_VERSION. Serves argument records and the replies the engine hands out. */
template <typename Record>
Record MakeRecord() {
  Record record;
  std::memset(&record, 0, sizeof record);
  record.size = static_cast<uint16_t>(sizeof record);
  record.version = TK_VERSION;
  return record;
}

}  // namespace dizode
#endif

/* ---- Layout checks on 32-bit targets -------------------------------------- */
#if defined(__cplusplus) && UINTPTR_MAX == 0xFFFFFFFFu
#include <cstddef>
#define TK_CHECK(rec, field, off) static_assert(offsetof(rec, field) == (off), #rec "." #field)
static_assert(sizeof(TkSessionArgs) == 200);
TK_CHECK(TkSessionArgs, commonDir, 24);
TK_CHECK(TkSessionArgs, callback, 60);
TK_CHECK(TkSessionArgs, callbackContext, 64);
TK_CHECK(TkSessionArgs, messageMask, 114);
static_assert(sizeof(TkCollectionArgs) == 92);
TK_CHECK(TkCollectionArgs, path, 8);
TK_CHECK(TkCollectionArgs, styleDir, 12);
TK_CHECK(TkCollectionArgs, createParam, 16);
TK_CHECK(TkCollectionArgs, mode, 28);
static_assert(sizeof(TkCollectionRequestArgs) == 28);
TK_CHECK(TkCollectionRequestArgs, request, 12);
static_assert(sizeof(TkSubmitArgs) == 36);
TK_CHECK(TkSubmitArgs, operation, 4);
TK_CHECK(TkSubmitArgs, count, 8);
TK_CHECK(TkSubmitArgs, keys, 12);
TK_CHECK(TkSubmitArgs, param16, 16);
static_assert(sizeof(TkSearchArgs) == 140);
TK_CHECK(TkSearchArgs, query, 28);
TK_CHECK(TkSearchArgs, param48, 48);
static_assert(sizeof(TkSearchInfoArgs) == 24);
TK_CHECK(TkSearchInfo, documentCount, 28);
static_assert(sizeof(TkDocBatchArgs) == 44);
TK_CHECK(TkDocBatchArgs, search, 12);
TK_CHECK(TkDocBatchArgs, first, 16);
TK_CHECK(TkDocBatchArgs, count, 20);
TK_CHECK(TkDocBatchArgs, fieldCount, 32);
TK_CHECK(TkDocBatchArgs, fieldNames, 36);
TK_CHECK(TkDocBatch, documentCount, 8);
TK_CHECK(TkDocBatch, fieldCount, 12);
TK_CHECK(TkDocBatch, texts, 16);
TK_CHECK(TkStatusMessage, text, 12);
static_assert(sizeof(TkErrorInfo) == 268);
TK_CHECK(TkErrorInfo, status, 4);
TK_CHECK(TkErrorInfo, column, 8);
TK_CHECK(TkErrorInfo, text, 12);
#undef TK_CHECK
#endif

#endif /* DIZODE_DIZODE_H */
