/*
 * quenlib.h - access to a GSM SIM card in a PC/SC reader.
 *
 * Every function returns a 32-bit code: QL_OK (0) on success, a QL_E_ code
 * otherwise. Indexes are 0-based. Records are caller-owned memory; the library
 * fills them during the call and keeps no pointer to them. The library keeps
 * process-wide state and takes no locks: the host serialises all calls.
 *
 * Calling order: QLSIM_Init, QLSIM_Connect, a family's SelectFile, its item and
 * record functions, QLSIM_Disconnect, QLSIM_Final.
 *
 * Environment: QUENLIB_READER names the reader ("*", the default, means the
 * first reader that holds a card); QUENLIB_CASE_MODULE is the path of the case
 * module that QLSIM_Init loads (when unset, "dorlin.dll" on Windows and
 * "libdorlin.so" elsewhere, from the library search path). The diagnostic trace
 * goes to the debugger output on Windows; elsewhere QUENLIB_TRACE=1 writes it to
 * standard error.
 */
#ifndef QUENLIB_H
#define QUENLIB_H

/* The version of this interface and of the library built with it. */
#define QUENLIB_VERSION "1.1"

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The DLL's export list (a module-definition file) names the exports on Windows. */
#if defined(_WIN32)
#define QL_API
#elif defined(__GNUC__)
#define QL_API __attribute__((visibility("default")))
#else
#define QL_API
#endif

#ifdef __cplusplus
#define QL_STATIC_ASSERT(condition, message) static_assert(condition, message)
#else
#define QL_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

/* One UTF-16 code unit of card text: Windows' wide character, elsewhere a 16-bit unit
 * (wchar_t is 32 bits there). */
#if defined(_WIN32)
typedef wchar_t QL_CHAR16;
#elif defined(__cplusplus)
typedef char16_t QL_CHAR16;
#else
typedef uint16_t QL_CHAR16;
#endif
QL_STATIC_ASSERT(sizeof(QL_CHAR16) == 2, "QL_CHAR16 is one UTF-16 code unit");

typedef uint32_t QLRESULT;

/* Return codes */
#define QL_OK ((QLRESULT)0x00000000u)           /* success */
#define QL_E_FAILED ((QLRESULT)0xA0000001u)     /* not supported, failed, or a null argument */
#define QL_E_CASE ((QLRESULT)0xA0000002u)       /* the case module refused the operation */
#define QL_E_NO_CONTEXT ((QLRESULT)0xA0000004u) /* no PC/SC context (QLSIM_Init missing/failed) */
#define QL_E_CONNECT ((QLRESULT)0xA0000005u)    /* connecting to the reader failed */
#define QL_E_NOT_CONNECTED ((QLRESULT)0xA0000006u) /* no card connection */
#define QL_E_CHV ((QLRESULT)0xA0000007u)           /* CHV command refused or CHV state unreadable */
#define QL_E_READ ((QLRESULT)0xA0000008u)          /* READ RECORD failed */
#define QL_E_WRITE ((QLRESULT)0xA0000009u)         /* UPDATE RECORD failed */
#define QL_E_CARD_REMOVED ((QLRESULT)0xA000000Au)  /* connect failed: the card was removed */
#define QL_E_SHARING ((QLRESULT)0xA000000Bu)       /* connect failed: the reader is in use */
#define QL_E_SELECT_DF ((QLRESULT)0xA000000Cu)     /* SELECT of DF Telecom failed */
#define QL_E_SELECT_EF ((QLRESULT)0xA000000Du) /* selecting or reading file information failed */
/* What the case module answered to a case record operation (see the QLCC_ functions). */
#define QL_E_CASE_READ_2 ((QLRESULT)0xA0000100u)   /* read: the module returned -2 */
#define QL_E_CASE_2 ((QLRESULT)0xA0000101u)        /* modify, append, delete: -2 */
#define QL_E_CASE_APPEND_3 ((QLRESULT)0xA0000102u) /* append: -3 */
#define QL_E_CASE_3 ((QLRESULT)0xA0000103u)        /* modify, delete: -3 */
#define QL_E_CASE_4 ((QLRESULT)0xA0000104u)        /* modify, delete: -4 */
#define QL_E_CASE_5 ((QLRESULT)0xA0000105u)        /* modify, delete: -5 */
#define QL_E_CASE_6 ((QLRESULT)0xA0000106u)        /* modify, delete: -6 */
#define QL_E_CASE_APPEND_4 ((QLRESULT)0xA0000108u) /* append: -4 */

/* The name of a return code ("QL_E_READ"), or "unknown" for any other value. */
static inline const char* QL_CodeName(QLRESULT code) {
    switch (code) {
    case QL_OK:
        return "QL_OK";
    case QL_E_FAILED:
        return "QL_E_FAILED";
    case QL_E_CASE:
        return "QL_E_CASE";
    case QL_E_NO_CONTEXT:
        return "QL_E_NO_CONTEXT";
    case QL_E_CONNECT:
        return "QL_E_CONNECT";
    case QL_E_NOT_CONNECTED:
        return "QL_E_NOT_CONNECTED";
    case QL_E_CHV:
        return "QL_E_CHV";
    case QL_E_READ:
        return "QL_E_READ";
    case QL_E_WRITE:
        return "QL_E_WRITE";
    case QL_E_CARD_REMOVED:
        return "QL_E_CARD_REMOVED";
    case QL_E_SHARING:
        return "QL_E_SHARING";
    case QL_E_SELECT_DF:
        return "QL_E_SELECT_DF";
    case QL_E_SELECT_EF:
        return "QL_E_SELECT_EF";
    case QL_E_CASE_READ_2:
        return "QL_E_CASE_READ_2";
    case QL_E_CASE_2:
        return "QL_E_CASE_2";
    case QL_E_CASE_APPEND_3:
        return "QL_E_CASE_APPEND_3";
    case QL_E_CASE_3:
        return "QL_E_CASE_3";
    case QL_E_CASE_4:
        return "QL_E_CASE_4";
    case QL_E_CASE_5:
        return "QL_E_CASE_5";
    case QL_E_CASE_6:
        return "QL_E_CASE_6";
    case QL_E_CASE_APPEND_4:
        return "QL_E_CASE_APPEND_4";
    default:
        return "unknown";
    }
}

/* Geometry of a selected record file. */
typedef struct QL_FILE_INFO {
    uint32_t size;         /* not read (hosts put the record size here) */
    uint32_t recordCount;  /* out */
    uint32_t recordLength; /* out, bytes */
} QL_FILE_INFO;

/* One phonebook entry as text. Strings end with a 0 unit. */
typedef struct QL_ADN_ITEM {
    uint32_t size;         /* hosts put 1616 here; not checked */
    uint32_t index;        /* in: 0-based record index */
    QL_CHAR16 name[256];   /* out on read, in on write */
    uint32_t nameLength;   /* out on read, in characters; not read on write */
    QL_CHAR16 number[512]; /* out on read, in on write (a leading '+' is removed) */
    uint32_t numberLength; /* out on read, in characters; not read on write */
    uint8_t reserved[64];
} QL_ADN_ITEM;

/* CHV state as the card reports it in its answer to SELECT DF Telecom. */
typedef struct QL_PIN_CONTEXT {
    uint32_t reserved;         /* neither read nor written */
    uint32_t pin1Enabled;      /* 1 enabled, 0 disabled */
    uint32_t pin1AttemptsLeft; /* 0 ... 15 */
    uint32_t unblock1AttemptsLeft;
    uint32_t pin2AttemptsLeft;
    uint32_t unblock2AttemptsLeft;
} QL_PIN_CONTEXT;

/* A record count: the short message file's records, or the card's case records. */
typedef struct QL_COUNT_INFO {
    uint32_t reserved; /* neither read nor written */
    uint32_t count;    /* out */
} QL_COUNT_INFO;

/* Status of a short message record. */
#define QL_SMS_FREE 0u         /* free record */
#define QL_SMS_READ 1u         /* received, read */
#define QL_SMS_UNREAD 3u       /* received, not read yet */
#define QL_SMS_SENT 5u         /* sent; also read for the record statuses 0D, 15 and 1D */
#define QL_SMS_TO_SEND 7u      /* to be sent */
#define QL_SMS_UNKNOWN 0xFFFFu /* any other status byte (GSM records) */

/* A time stamp: the service centre's for received GSM messages, the message centre's for
 * CDMA records. Messages without one read as all 0. */
typedef struct QL_SMS_TIME {
    uint16_t year; /* 4 digits */
    uint16_t month;
    uint16_t dayOfWeek; /* not used: 0 */
    uint16_t day;
    uint16_t hour;
    uint16_t minute;
    uint16_t second;
    uint16_t milliseconds; /* not used: 0 */
} QL_SMS_TIME;

/* One short message. Strings end with a 0 unit; texts and addresses too long for their
 * field are cut so that the 0 unit always fits. */
typedef struct QL_SMS_ITEM {
    uint32_t size;          /* not read */
    uint32_t index;         /* in: 0-based record index */
    uint32_t status;        /* out on read, in on write: one of QL_SMS_ */
    QL_CHAR16 address[46];  /* the sender of a received message, the recipient of a sent one:
                               digits, with a leading '+' for an international number, or
                               a sender's name. On write a leading '+' is removed here and
                               the number stored as international */
    uint32_t addressLength; /* out: GSM records the characters + 1, CDMA records the count */
    QL_CHAR16 text[256];
    uint32_t textLength;   /* out on read: characters, for UCS2 texts of GSM records bytes.
                              In on write for GSM records: how many characters of a 7-bit or
                              8-bit text to store (at most the text's length) */
    QL_SMS_TIME timeStamp; /* out on read, in on write (received messages) */
} QL_SMS_ITEM;

/* One case record of the contact-case application, as the case module converts it. */
typedef struct QL_CC_ITEM {
    uint32_t size;       /* must be 1624 for modify, append and delete */
    uint16_t caseNumber; /* in on read: the case record's number on the card */
    uint8_t reserved1[6];
    QL_CHAR16 name[256];   /* out on read, in on write */
    uint32_t nameLength;   /* out on read: the module's byte count; out on write: characters */
    QL_CHAR16 number[512]; /* out on read, in on write (8-bit characters) */
    uint32_t numberLength; /* out on read and on write: characters */
    uint32_t attribute;    /* out on read, in on append: the module's case attribute */
    uint8_t reserved2[64];
} QL_CC_ITEM;

QL_STATIC_ASSERT(sizeof(QL_FILE_INFO) == 12, "QL_FILE_INFO layout");
QL_STATIC_ASSERT(offsetof(QL_FILE_INFO, recordCount) == 4, "QL_FILE_INFO layout");
QL_STATIC_ASSERT(offsetof(QL_FILE_INFO, recordLength) == 8, "QL_FILE_INFO layout");
QL_STATIC_ASSERT(sizeof(QL_CHAR16) == 2, "card text is 16-bit");
QL_STATIC_ASSERT(sizeof(QL_ADN_ITEM) == 1616, "QL_ADN_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_ADN_ITEM, index) == 4, "QL_ADN_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_ADN_ITEM, name) == 8, "QL_ADN_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_ADN_ITEM, nameLength) == 520, "QL_ADN_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_ADN_ITEM, number) == 524, "QL_ADN_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_ADN_ITEM, numberLength) == 1548, "QL_ADN_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_ADN_ITEM, reserved) == 1552, "QL_ADN_ITEM layout");
QL_STATIC_ASSERT(sizeof(QL_PIN_CONTEXT) == 24, "QL_PIN_CONTEXT layout");
QL_STATIC_ASSERT(offsetof(QL_PIN_CONTEXT, pin1Enabled) == 4, "QL_PIN_CONTEXT layout");
QL_STATIC_ASSERT(offsetof(QL_PIN_CONTEXT, pin1AttemptsLeft) == 8, "QL_PIN_CONTEXT layout");
QL_STATIC_ASSERT(offsetof(QL_PIN_CONTEXT, unblock1AttemptsLeft) == 12, "QL_PIN_CONTEXT layout");
QL_STATIC_ASSERT(offsetof(QL_PIN_CONTEXT, pin2AttemptsLeft) == 16, "QL_PIN_CONTEXT layout");
QL_STATIC_ASSERT(offsetof(QL_PIN_CONTEXT, unblock2AttemptsLeft) == 20, "QL_PIN_CONTEXT layout");
QL_STATIC_ASSERT(sizeof(QL_COUNT_INFO) == 8, "QL_COUNT_INFO layout");
QL_STATIC_ASSERT(sizeof(QL_SMS_TIME) == 16, "QL_SMS_TIME layout");
QL_STATIC_ASSERT(sizeof(QL_SMS_ITEM) == 640, "QL_SMS_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_SMS_ITEM, status) == 8, "QL_SMS_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_SMS_ITEM, address) == 12, "QL_SMS_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_SMS_ITEM, addressLength) == 104, "QL_SMS_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_SMS_ITEM, text) == 108, "QL_SMS_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_SMS_ITEM, textLength) == 620, "QL_SMS_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_SMS_ITEM, timeStamp) == 624, "QL_SMS_ITEM layout");
QL_STATIC_ASSERT(sizeof(QL_CC_ITEM) == 1624, "QL_CC_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_CC_ITEM, caseNumber) == 4, "QL_CC_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_CC_ITEM, name) == 12, "QL_CC_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_CC_ITEM, nameLength) == 524, "QL_CC_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_CC_ITEM, number) == 528, "QL_CC_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_CC_ITEM, numberLength) == 1552, "QL_CC_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_CC_ITEM, attribute) == 1556, "QL_CC_ITEM layout");
QL_STATIC_ASSERT(offsetof(QL_CC_ITEM, reserved2) == 1560, "QL_CC_ITEM layout");

/* ---- Connection ---- */

/* Establishes the PC/SC context. QL_OK or QL_E_NO_CONTEXT. */
QL_API QLRESULT QLSIM_Init(void);
/* Releases the context and the library's buffers; does not disconnect. Always QL_OK. */
QL_API QLRESULT QLSIM_Final(void);
/* Connects exclusively (T=0 or T=1) to the reader. reserved is not read.
 * QL_OK, QL_E_NO_CONTEXT, QL_E_CARD_REMOVED, QL_E_SHARING, QL_E_CONNECT. */
QL_API QLRESULT QLSIM_Connect(void* reserved);
/* Ejects and forgets the card connection and the selected file geometry. reserved is not
 * read. Always QL_OK. */
QL_API QLRESULT QLSIM_Disconnect(void* reserved);
/* Bytes a buffer for QLSIM_GetICCID needs: the 20 digits an ICCID may have and the 0. */
#define QL_ICCID_SIZE 21u
/* Reads the card's identification number (EF ICCID under the MF, READ BINARY of its 10
 * bytes) and writes its digits to digits as a 0-terminated string: two digits a byte, low
 * nibble first, up to the F filler. Reading EF ICCID needs no PIN. An addition to the 35
 * functions of the first version of this interface.
 * QL_OK, QL_E_NOT_CONNECTED, QL_E_SELECT_EF (the card has no EF ICCID), QL_E_READ (READ
 * BINARY failed, or the bytes are no ICCID: a nibble A to E, or no digit), QL_E_FAILED
 * (digits is null, or size is below QL_ICCID_SIZE; nothing is sent). */
QL_API QLRESULT QLSIM_GetICCID(char* digits, uint32_t size);

/* The kind of card (QL_CARD_INFO.kind). */
#define QL_CARD_UNKNOWN 0u  /* the card has answered no command yet */
#define QL_CARD_GSM 1u      /* a GSM SIM: class A0 only (GSM 11.11) */
#define QL_CARD_UICC_GSM 2u /* a UICC that also answers class A0; the library talks A0 */
#define QL_CARD_UICC 3u     /* a UICC that refuses class A0; the library talks class 00 */

/* Where the phonebook is (QL_CARD_INFO.phonebook). */
#define QL_PHONEBOOK_NONE 0u    /* not selected on this connection, or not found */
#define QL_PHONEBOOK_TELECOM 1u /* EF ADN 6F3A under DF Telecom 7F10 */
#define QL_PHONEBOOK_GLOBAL 2u  /* the global phonebook DF Telecom/5F3A, through EF_PBR */
#define QL_PHONEBOOK_LOCAL 3u   /* the USIM's local phonebook ADF.USIM/5F3A, through EF_PBR */

/* What the connected card is and where the library found its phonebook. */
typedef struct QL_CARD_INFO {
    uint32_t size;           /* not read (hosts put the record size here) */
    uint32_t kind;           /* out: one of QL_CARD_ */
    uint32_t phonebook;      /* out: one of QL_PHONEBOOK_, as QLADN_SelectFile found it */
    uint16_t adnFileId;      /* out: the phonebook's EF ADN, 0 when none */
    uint16_t ext1FileId;     /* out: its EF EXT1, 0 when none */
    uint32_t localPhonebook; /* out: 1 when a UICC's USIM also holds a local phonebook
                                (ADF.USIM/5F3A) besides the one the library uses */
    uint32_t lastRefusal;    /* out: the status word of the last command the card refused on
                                this connection before this call, 0 when none: 6982 or 9804
                                a PIN is needed, 6983 or 9840 the PIN is blocked */
    uint32_t atrLength;      /* out: bytes of atr used */
    uint8_t atr[36];         /* out: the card's answer-to-reset (at most 33 bytes) */
    char reader[128];        /* out: the reader's name, 0-terminated (cut to fit) */
} QL_CARD_INFO;

QL_STATIC_ASSERT(sizeof(QL_CARD_INFO) == 192, "QL_CARD_INFO layout");
QL_STATIC_ASSERT(offsetof(QL_CARD_INFO, reader) == 64, "QL_CARD_INFO layout");
QL_STATIC_ASSERT(offsetof(QL_CARD_INFO, adnFileId) == 12, "QL_CARD_INFO layout");
QL_STATIC_ASSERT(offsetof(QL_CARD_INFO, atr) == 28, "QL_CARD_INFO layout");

/* Describes the connected card. Tells a UICC that answers class A0 from a GSM SIM with
 * one SELECT of the MF in class 00, and looks for a local USIM phonebook on a UICC whose
 * phonebook is elsewhere; both are asked only here and leave the card's other answers as
 * they were. An addition to the interface of version 1.0 (version 1.1).
 * QL_OK, QL_E_NOT_CONNECTED, QL_E_FAILED (info is null). */
QL_API QLRESULT QLSIM_GetCardInfo(QL_CARD_INFO* info);
/* Not supported: always QL_E_FAILED. The argument is not read. */
QL_API QLRESULT QLSIM_Status(uint32_t unused);
/* Same as QLSIM_Status. */
QL_API QLRESULT QLSIM_StatusChange(uint32_t unused);

/* ---- CHV1 (PIN) ----
 * Codes are 0-terminated 8-bit strings; at most 8 characters are sent.
 * Each returns QL_OK, QL_E_NOT_CONNECTED, QL_E_CHV (refused by the card or not
 * transmitted), or QL_E_FAILED for a null code. */

QL_API QLRESULT QLSIM_VerifyPIN1(const char* pin);
QL_API QLRESULT QLSIM_ChangePIN1(const char* oldPin, const char* newPin);
/* puk is the unblock code; newPin becomes CHV1. */
QL_API QLRESULT QLSIM_UnblockPIN1(const char* puk, const char* newPin);
QL_API QLRESULT QLSIM_DisablePIN1(const char* pin);
QL_API QLRESULT QLSIM_EnablePIN1(const char* pin);
/* enabled: 1 when CHV1 is enabled; attemptsLeft: CHV1 attempts left.
 * QL_OK, QL_E_NOT_CONNECTED, QL_E_CHV, QL_E_FAILED (null pointer). */
QL_API QLRESULT QLSIM_GetPIN1State(uint32_t* enabled, uint32_t* attemptsLeft);
/* Fills every field but reserved. QL_OK, QL_E_NOT_CONNECTED, QL_E_CHV, QL_E_FAILED. */
QL_API QLRESULT QLSIM_GetPINContext(QL_PIN_CONTEXT* context);

/* ---- Phonebook (EF ADN with its extension file EF EXT1) ----
 * Each returns QL_E_NOT_CONNECTED without a connection and QL_E_FAILED for a null
 * record or buffer, touching nothing. */

/* Selects the phonebook, loads the extension records and fills recordCount and
 * recordLength. QL_OK, QL_E_SELECT_DF, QL_E_SELECT_EF. */
QL_API QLRESULT QLADN_SelectFile(QL_FILE_INFO* info);
/* Reads entry item->index: name, number (with '+' when international) and lengths.
 * QL_OK, QL_E_READ (also for an index beyond the file; files end at index 254). */
QL_API QLRESULT QLADN_ReadItemW(QL_ADN_ITEM* item);
/* Writes entry item->index; digits beyond 20 go to extension records, which reach
 * the card with QLADN_Flush. A number rewritten unchanged keeps the extension records it
 * had. When the library knows the record's bytes from a read or write since
 * QLADN_SelectFile on this connection (else it reads the record first) and the write would
 * leave them as they are, nothing is sent. QL_OK, QL_E_READ (also for an index beyond the
 * file), QL_E_WRITE. */
QL_API QLRESULT QLADN_WriteItemW(QL_ADN_ITEM* item);
/* Writes the extension records that differ from the card's, as QLADN_SelectFile read
 * them on this connection (every record when it has not). QL_OK (also without EF EXT1),
 * QL_E_SELECT_EF. */
QL_API QLRESULT QLADN_Flush(void);
/* Reads raw record index (low 8 bits; 255 is refused) into buffer: record length + 2
 * status bytes. A record that the library read (QLADN_ReadItemW or this function) since
 * QLADN_SelectFile on this connection, and has not written since, is given as the card
 * answered then, without a second READ RECORD. QL_OK, QL_E_READ. */
QL_API QLRESULT QLADN_ReadRecord(uint32_t index, uint8_t* buffer);
/* Writes record-length raw bytes to record index (low 8 bits; 255 is refused); nothing is
 * sent when the library knows the record holds them already (as QLADN_WriteItemW).
 * QL_OK, QL_E_WRITE. */
QL_API QLRESULT QLADN_WriteRecord(uint32_t index, const uint8_t* buffer);
/* Hands out the extension working copy (13 bytes a record) and its used size in bytes.
 * The address stays valid while the library is loaded. QL_OK. */
QL_API QLRESULT QLADN_ReadExt1BufP(uint8_t** buffer, uint32_t* size);
/* Copies count bytes (at most 3315) over the start of the extension working copy. QL_OK. */
QL_API QLRESULT QLADN_WriteExt1Buf(const uint8_t* source, uint32_t count);

/* ---- Short messages (EF SMS) ----
 * A card with the CDMA directory 7F25 holding EF SMS keeps CDMA (TIA/EIA-637) records; any
 * other card GSM records (status, service-centre address, SMS-DELIVER or SMS-SUBMIT).
 * QLSMS_SelectFile decides which, and the item functions follow. Each returns
 * QL_E_NOT_CONNECTED without a connection and QL_E_FAILED for a null record or buffer,
 * touching nothing. */

/* Selects EF SMS, in 7F25 when the card has one, else in DF Telecom, and fills count.
 * QL_OK, QL_E_SELECT_EF. */
QL_API QLRESULT QLSMS_SelectFile(QL_COUNT_INFO* info);
/* Reads message item->index into status, address, text, their lengths and the time stamp.
 * A free record reads as status 0 with empty texts. GSM texts come in the GSM 7-bit default
 * alphabet, 8-bit or UCS2, as the group of the data coding scheme says (a compressed text
 * reads empty); a user-data header is skipped. A CDMA record with a time stamp of the wrong
 * length is refused. QL_OK, QL_E_READ (also for an index beyond the file). */
QL_API QLRESULT QLSMS_ReadItemW(QL_SMS_ITEM* item);
/* Writes message item->index: status 1 or 3 as received (with the time stamp), 5 or 7 as
 * sent, asking for a status report (a sent GSM record has status 0D); an empty address and
 * text erase the record. GSM texts are stored in the GSM 7-bit default alphabet when it
 * holds every character and all are below 0080, else in 8-bit or UCS2, at most 160
 * septets, 140 octets or 70 UCS2 characters; addresses keep 20 digits. CDMA texts are
 * stored in 7-bit ASCII or UCS2. A text that does not fit the record is cut; a record
 * too short for the rest of the message is not written. QL_OK, QL_E_WRITE (also for an
 * index beyond the file). */
QL_API QLRESULT QLSMS_WriteItemW(QL_SMS_ITEM* item);
/* Raw records, as QLADN_ReadRecord and QLADN_WriteRecord, of EF SMS. */
QL_API QLRESULT QLSMS_ReadRecord(uint32_t index, uint8_t* buffer);
QL_API QLRESULT QLSMS_WriteRecord(uint32_t index, const uint8_t* buffer);

/* ---- Own numbers (EF MSISDN) ----
 * Records of the phonebook's layout without extension records. QL_E_NOT_CONNECTED without a
 * connection, QL_E_FAILED for a null argument. */

/* Selects EF MSISDN and fills recordCount and recordLength. QL_OK, QL_E_SELECT_DF,
 * QL_E_SELECT_EF. */
QL_API QLRESULT QLISDN_SelectFile(QL_FILE_INFO* info);
/* Reads record index: name into a buffer of at least recordLength - 13 and 32 units, number
 * (with '+' when international) into one of at least 32 units. QL_OK, QL_E_READ. */
QL_API QLRESULT QLISDN_ReadItemW(uint32_t index, QL_CHAR16* name, QL_CHAR16* number);
/* Writes record index from 0-terminated strings; at most 20 characters of the number are
 * kept, a leading '+' stores it as international. QL_OK, QL_E_WRITE. */
QL_API QLRESULT QLISDN_WriteItemW(uint32_t index, const QL_CHAR16* name, const QL_CHAR16* number);

/* ---- Case records (contact-case application) ----
 * Cards whose answer-to-reset holds "DTM" in bytes 5 to 7 carry case records. The case
 * module converts and changes them; without a loaded module every item function returns
 * QL_E_FAILED. Module results map to QL_E_CASE (-1) and to the QL_E_CASE_ codes above; any
 * result the table does not name gives QL_E_FAILED. */

/* QL_OK when the card in the reader carries the application, else QL_E_FAILED (also before
 * QLSIM_Init or with no card). */
QL_API QLRESULT QLCC_IsCcSupport(void);
/* Asks the card for its case record count. QL_OK, QL_E_NOT_CONNECTED, QL_E_FAILED (no
 * module, no application, or the card refused). */
QL_API QLRESULT QLCC_SelectFile(QL_COUNT_INFO* info);
/* Reads case item->caseNumber through the module's CaseToAdn. QL_OK, QL_E_FAILED (also
 * without a connection), QL_E_CASE, QL_E_CASE_READ_2. */
QL_API QLRESULT QLCC_ReadItemW(QL_CC_ITEM* item);
/* The module's ModifyCase, AppendCase and DeleteCase with the names as big-endian UCS2 and
 * the numbers as 8-bit characters. Every item's size must be 1624, else QL_E_FAILED without
 * calling the module. Append and delete also need the application recognised before, by
 * QLCC_IsCcSupport, QLCC_SelectFile or QLCC_ReadItemW.
 * Modify: QL_OK, QL_E_NOT_CONNECTED, QL_E_FAILED, QL_E_CASE, QL_E_CASE_2 ... QL_E_CASE_6.
 * Append: QL_OK, QL_E_NOT_CONNECTED, QL_E_FAILED, QL_E_CASE, QL_E_CASE_2, QL_E_CASE_APPEND_3,
 *         QL_E_CASE_APPEND_4.
 * Delete: as modify. */
QL_API QLRESULT QLCC_ModifyItemW(QL_CC_ITEM* oldItem, QL_CC_ITEM* newItem);
QL_API QLRESULT QLCC_AppendItemW(QL_CC_ITEM* item);
QL_API QLRESULT QLCC_DeleteItemW(QL_CC_ITEM* item);

#ifdef __cplusplus
}
#endif

#endif /* QUENLIB_H */
