/* The public header compiles as C and its records have the sizes hosts rely on. */
#include "simlib/include/quenlib.h"
#include "simlib/include/quenlib_case.h"

_Static_assert(sizeof(QL_ADN_ITEM) == 1616, "QL_ADN_ITEM from C");
_Static_assert(sizeof(QL_PIN_CONTEXT) == 24, "QL_PIN_CONTEXT from C");
_Static_assert(sizeof(QL_SMS_ITEM) == 640, "QL_SMS_ITEM from C");
_Static_assert(sizeof(QL_CC_ITEM) == 1624, "QL_CC_ITEM from C");

const char* quenlibCodeNameFromC(QLRESULT code) {
    return QL_CodeName(code);
}
