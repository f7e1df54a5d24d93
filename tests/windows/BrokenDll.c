/* Stand-ins for qv725.dll that each break one rule of its tables on purpose, so the check of
 * the real DLL is seen to catch that: BROKEN_IMPORTS_DRIVER links the D2XX driver at load time,
 * BROKEN_EXTRA_EXPORT exports one name more, BROKEN_MISSING_EXPORT one name fewer. */
#include <stdint.h>

#define EXPORT __declspec(dllexport)
#define STUB(name)              \
    EXPORT uint8_t name(void) { \
        return 0;               \
    }

#ifdef BROKEN_IMPORTS_DRIVER
__declspec(dllimport) uint32_t FT_Close(void* handle);
EXPORT uint8_t QV725_CloseDevice(void) {
    return FT_Close(0) == 0;
}
#else
STUB(QV725_CloseDevice)
#endif

STUB(QV725_OpenDevice)
STUB(QV725_GetLastError)
STUB(QV725_GetInfo)
STUB(QV725_GetT)
STUB(QV725_GetV)
STUB(QV725_SetM)
STUB(QV725_GetM)
#ifndef BROKEN_MISSING_EXPORT
STUB(QV725_SetPWM)
#endif
STUB(QV725_GetPWM)
STUB(QV725_SavePar)
STUB(QV725_CallPar)
#ifdef BROKEN_EXTRA_EXPORT
STUB(QV725_Reset)
#endif
