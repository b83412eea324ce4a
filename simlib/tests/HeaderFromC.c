/* The public header compiles as C and its records have the sizes hosts rely on. */
#include "quenlib.h"

_Static_assert(sizeof(QL_ADN_ITEM) == 1616, "QL_ADN_ITEM from C");
_Static_assert(sizeof(QL_PIN_CONTEXT) == 24, "QL_PIN_CONTEXT from C");

const char* quenlibCodeNameFromC(QLRESULT code) {
    return QL_CodeName(code);
}
