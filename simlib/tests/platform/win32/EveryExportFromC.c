/* quenlib.dll from a C program: the public header compiled as C, every export called once
 * against the virtual card in the test card service's reader. Exits with the number of
 * calls whose result differed from the one expected. */
#include "simlib/include/quenlib.h"

#include <stdio.h>
#include <string.h>

static int failures;

static void Expect(const char* call, QLRESULT got, QLRESULT wanted) {
    if (got != wanted) {
        fprintf(stderr, "%s: %s (0x%08lX), expected %s\n", call, QL_CodeName(got),
                (unsigned long)got, QL_CodeName(wanted));
        ++failures;
    }
}

#define EXPECT(call, wanted) Expect(#call, (call), (wanted))

int main(void) {
    QL_CARD_INFO card;
    QL_PIN_CONTEXT pins;
    QL_FILE_INFO file;
    QL_COUNT_INFO count;
    QL_ADN_ITEM adn;
    QL_SMS_ITEM sms;
    QL_CC_ITEM contact;
    QL_CC_ITEM replacement;
    uint8_t record[256];
    uint8_t* ext1 = NULL;
    uint32_t ext1Size = 0;
    uint32_t enabled = 0;
    uint32_t attempts = 0;
    char iccid[QL_ICCID_SIZE];
    QL_CHAR16 name[64];
    QL_CHAR16 number[64];
    static const QL_CHAR16 ownName[] = {'O', 'w', 'n', 0};
    static const QL_CHAR16 ownNumber[] = {'1', '2', '3', 0};

    memset(&adn, 0, sizeof adn);
    memset(&sms, 0, sizeof sms);
    memset(&contact, 0, sizeof contact);
    memset(&replacement, 0, sizeof replacement);
    contact.size = replacement.size = sizeof contact;

    EXPECT(QLSIM_Init(), QL_OK);
    EXPECT(QLSIM_Connect(NULL), QL_OK);
    EXPECT(QLSIM_GetCardInfo(&card), QL_OK);
    EXPECT(QLSIM_GetICCID(iccid, sizeof iccid), QL_OK);
    EXPECT(QLSIM_Status(0), QL_E_FAILED);
    EXPECT(QLSIM_StatusChange(0), QL_E_FAILED);
    EXPECT(QLSIM_VerifyPIN1("1234"), QL_OK);
    EXPECT(QLSIM_ChangePIN1("1234", "4321"), QL_OK);
    EXPECT(QLSIM_DisablePIN1("4321"), QL_OK);
    EXPECT(QLSIM_EnablePIN1("4321"), QL_OK);
    EXPECT(QLSIM_UnblockPIN1("12345678", "1234"), QL_OK);
    EXPECT(QLSIM_GetPIN1State(&enabled, &attempts), QL_OK);
    EXPECT(QLSIM_GetPINContext(&pins), QL_OK);

    EXPECT(QLADN_SelectFile(&file), QL_OK);
    adn.size = sizeof adn;
    adn.name[0] = 'A';
    adn.number[0] = '1';
    EXPECT(QLADN_WriteItemW(&adn), QL_OK);
    EXPECT(QLADN_ReadItemW(&adn), QL_OK);
    EXPECT(QLADN_Flush(), QL_OK);
    EXPECT(QLADN_ReadRecord(0, record), QL_OK);
    EXPECT(QLADN_WriteRecord(1, record), QL_OK);
    EXPECT(QLADN_ReadExt1BufP(&ext1, &ext1Size), QL_OK);
    EXPECT(QLADN_WriteExt1Buf(ext1, 13), QL_OK);

    EXPECT(QLSMS_SelectFile(&count), QL_OK);
    EXPECT(QLSMS_ReadItemW(&sms), QL_OK);
    EXPECT(QLSMS_WriteItemW(&sms), QL_OK);
    EXPECT(QLSMS_ReadRecord(0, record), QL_OK);
    EXPECT(QLSMS_WriteRecord(1, record), QL_OK);

    EXPECT(QLISDN_SelectFile(&file), QL_OK);
    EXPECT(QLISDN_WriteItemW(0, ownName, ownNumber), QL_OK);
    EXPECT(QLISDN_ReadItemW(0, name, number), QL_OK);

    /* The card carries no case records, and no case module lies beside the program. */
    EXPECT(QLCC_IsCcSupport(), QL_E_FAILED);
    EXPECT(QLCC_SelectFile(&count), QL_E_FAILED);
    EXPECT(QLCC_ReadItemW(&contact), QL_E_FAILED);
    EXPECT(QLCC_ModifyItemW(&contact, &replacement), QL_E_FAILED);
    EXPECT(QLCC_AppendItemW(&contact), QL_E_FAILED);
    EXPECT(QLCC_DeleteItemW(&contact), QL_E_FAILED);

    EXPECT(QLSIM_Disconnect(NULL), QL_OK);
    EXPECT(QLSIM_Final(), QL_OK);
    if (failures == 0) {
        printf("every export answered as expected\n");
    }
    return failures;
}
