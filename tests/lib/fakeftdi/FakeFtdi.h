/* Control interface of the stand-in D2XX driver (libftd2xx.so built for the tests): an
 * in-memory scripted device set that logs every driver call with its arguments. */
#ifndef KELVANE_FAKE_FTDI_H
#define KELVANE_FAKE_FTDI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Forgets everything: deviceCount closed devices, no replies, no failures, empty log. */
void FakeFtdi_Reset(uint32_t deviceCount);
/* After the device's next FT_Write, these bytes become readable (queued behind earlier ones). */
void FakeFtdi_QueueReply(uint32_t device, const uint8_t* bytes, uint32_t count);
/* These bytes are readable at once, as if they had arrived before anything was asked. */
void FakeFtdi_Inject(uint32_t device, const uint8_t* bytes, uint32_t count);
/* Every later call of the named function ("FT_SetBaudRate", ...) returns status. */
void FakeFtdi_FailCall(const char* function, uint32_t status);
/* FT_Write reports at most this many bytes written. */
void FakeFtdi_LimitWrite(uint32_t bytes);
/* The call log, one call per line, e.g. "FT_SetBaudRate(dev0,38400)". Runs of identical reads
 * are folded into one line with a count: "FT_Read(dev0,1) x13". */
const char* FakeFtdi_CallLog(void);
void FakeFtdi_ClearLog(void);
int FakeFtdi_IsOpen(uint32_t device);

#ifdef __cplusplus
}
#endif

#endif
