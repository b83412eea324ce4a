/*
 * quenlib_case.h - the entry points of a case module, as Quenlib calls them.
 *
 * A case module is a shared library that converts and changes the case records of cards
 * carrying the contact-case application. QLSIM_Init loads it (QUENLIB_CASE_MODULE, else
 * "dorlin.dll" on Windows, "libdorlin.so" elsewhere, from the library search path), looks
 * up the six names below and calls
 * Init; QLSIM_Final calls Final and unloads it. A module lacking an entry point only makes
 * the functions that need it fail. Calls come from the host's thread, one at a time.
 *
 * Names are big-endian UCS2 bytes, numbers 8-bit characters; neither is 0-terminated, the
 * counts say how long they are. The card handle is the card service's SCARDHANDLE of the
 * library's connection, for the module's own commands to the card.
 *
 * Results: 0 success; -1 ... -6 the module's own failures, which Quenlib hands to its host
 * as QL_E_CASE and the QL_E_CASE_ codes of quenlib.h; anything else becomes QL_E_FAILED.
 */
#ifndef QUENLIB_CASE_H
#define QUENLIB_CASE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Size of a case record on the card, and of the buffers CaseToAdn fills. */
#define QLCASE_RECORD_SIZE 32
#define QLCASE_BUFFER_SIZE 128

typedef intptr_t QLCASE_CARD;

/* Marks a module's entry points as exported from its shared library or DLL. */
#if defined(_WIN32)
#define QLCASE_EXPORT __declspec(dllexport)
#elif defined(__GNUC__)
#define QLCASE_EXPORT __attribute__((visibility("default")))
#else
#define QLCASE_EXPORT
#endif

/* 0 when the module is ready; the module is unloaded again otherwise. */
typedef int32_t (*QLCASE_Init)(void);
/* Called once before the module is unloaded. */
typedef int32_t (*QLCASE_Final)(void);
/* Decodes one case record (count is QLCASE_RECORD_SIZE) into a name (at most
 * QLCASE_BUFFER_SIZE bytes), a number (at most QLCASE_BUFFER_SIZE characters) and the
 * case attribute. 0, -1 or -2. */
typedef int32_t (*QLCASE_CaseToAdn)(const uint8_t* caseRecord, int32_t count, uint8_t* name,
                                    int32_t* nameBytes, uint8_t* number, int32_t* numberLength,
                                    uint32_t* attribute);
/* Replaces the case record holding the old name and number. 0, -1 ... -6. */
typedef int32_t (*QLCASE_ModifyCase)(QLCASE_CARD card, const uint8_t* oldName, int32_t oldNameBytes,
                                     const uint8_t* oldNumber, int32_t oldNumberLength,
                                     const uint8_t* newName, int32_t newNameBytes,
                                     const uint8_t* newNumber, int32_t newNumberLength);
/* Adds a case record. 0, -1 ... -4. */
typedef int32_t (*QLCASE_AppendCase)(QLCASE_CARD card, const uint8_t* name, int32_t nameBytes,
                                     uint32_t attribute, const uint8_t* number,
                                     int32_t numberLength);
/* Removes the case record holding the name and number. 0, -1 ... -6. */
typedef int32_t (*QLCASE_DeleteCase)(QLCASE_CARD card, const uint8_t* name, int32_t nameBytes,
                                     const uint8_t* number, int32_t numberLength);

#ifdef __cplusplus
}
#endif

#endif /* QUENLIB_CASE_H */
