/* qv725: access to the QV-725 six-channel USB fan controller.
 *
 * A plain C interface of twelve functions. The library finds the controller among the devices
 * behind FTDI USB serial bridges (and among running simulated controllers), and exchanges one
 * request and one reply with it per command.
 *
 * Finding the controller touches no one else's device:
 *  - Only candidates are opened: on Linux the serial ports of FTDI bridges (USB vendor 0403, as
 *    sysfs lists them) and the devices of FTDI's D2XX driver where it is installed; and the
 *    links that running simulators publish in $XDG_RUNTIME_DIR/qv725 (else /tmp/qv725-<uid>),
 *    a folder that counts only when it is this user's with mode 0700, each link only while its
 *    simulator holds the lock file beside it.
 *  - A port another program holds (flock, TIOCEXCL) or has locked through a UUCP lock file
 *    (/run/lock or /var/lock, LCK..ttyUSB0) is skipped without a byte written or a setting
 *    changed. A port is opened without becoming the controlling terminal; its settings and
 *    modem lines are restored exactly when it turns out not to be the controller, and when the
 *    controller is closed.
 *  - The USB serial number of the bridge where the controller last answered is remembered in
 *    $XDG_CACHE_HOME/qv725/last-port-serial (else ~/.cache/qv725/) and that port is tried
 *    first. A port that did not answer as the controller is not opened again until it is
 *    unplugged and plugged in again.
 *  - The environment variable QV725_PORT, when set and not empty, restricts the search to one
 *    port: a device path ("/dev/ttyUSB3") or "serial:<USB serial number>".
 *  - For tests and benchmarks only: QV725_TEST_SYSROOT names a folder that stands in for the
 *    root of /sys, /dev, /run/lock and /var/lock (a prepared fake sysfs tree). Never set it
 *    otherwise.
 *
 * Conventions that hold for every function below:
 *  - Results are one byte: nonzero for success, 0 for failure. Test only for zero/nonzero.
 *  - After every command the library composes a last-error text (empty after success), which
 *    QV725_GetLastError hands out; no function reports an error any other way, and none lets an
 *    exception or signal escape.
 *  - Arguments are checked before anything is sent: a channel outside 0 to 5, or a value outside
 *    the range its field on the wire can carry (given at each function), fails the command with
 *    the command's prefix followed by "invalid parameters." (for example "Set PWM: invalid
 *    parameters."), and not a byte reaches the device. This holds while no controller is open
 *    too.
 *  - A reply belongs to its request. Input already waiting on the line when a command starts
 *    (such as a reply that arrived after its own request had given up) is dropped before the
 *    request is sent. A reply that carries another command's code, or that reports success with
 *    fewer bytes than the command's reply holds, is refused with "IO error: device not
 *    responding."; so is a reply that is garbled or does not come. A reply that reports a
 *    failure may be as short as its status byte; the failure is reported with the command's
 *    prefix and the status text.
 *  - Every command ends within one deadline: 200 ms after the request went out, plus the time
 *    the bytes the reply announces take on a 38400-baud line (about 0.1 s for the longest
 *    reply), whatever the device sends or fails to send. QV725_OpenDevice takes at most one such
 *    deadline per device it tries.
 *  - Every output of a command is written after the exchange whatever its result: after a failure
 *    it holds 0 or what part of the reply arrived (0 when the reply was another command's, or the
 *    arguments were refused). Any output pointer may be NULL, in which case that value is not
 *    stored.
 *  - While no controller is open, every command with valid arguments succeeds at once with all
 *    outputs 0 and an empty last-error text, and nothing is sent. Such zeros are not readings;
 *    check the result of QV725_OpenDevice before trusting them.
 *  - Text pointers handed out point into the library's own buffers. The caller must neither free
 *    nor modify them; they stay valid until the next command overwrites them, so copy the text
 *    at once.
 *  - All functions but QV725_GetLastError are serialised by one lock inside the library and may
 *    be called from any thread, QV725_OpenDevice and QV725_CloseDevice included: a command
 *    waits while the controller is being opened or closed, and never runs on a device that is
 *    half open or being closed.
 *    The texts are shared by all threads and the lock is not held while the caller copies one:
 *    when several threads issue commands, copy a text (and read the last-error text of a
 *    failure) only while no other thread can issue a command.
 *
 * Units: temperatures in tenths of a degree Celsius (253 is 25.3 degrees C); fan speeds in
 * revolutions per minute; PWM 0 to 255 (255 is full drive); channels numbered 0 to 5.
 */
#ifndef QV725_QV725_H
#define QV725_QV725_H

#include <stdint.h>

#if defined(QV725_STATIC)
#define QV725_API
#elif defined(_WIN32)
#if defined(QV725_BUILDING_LIBRARY)
#define QV725_API __declspec(dllexport)
#else
#define QV725_API __declspec(dllimport)
#endif
#elif defined(QV725_BUILDING_LIBRARY)
#define QV725_API __attribute__((visibility("default")))
#else
#define QV725_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Finds and opens the controller: tries the candidate ports in turn (see the top of this file),
 * opens each, sets the line to 38400 baud 8N1 and asks for its identification; the first device
 * whose identification starts with "QV-725" stays open, and no port after it is touched.
 * Devices that do not answer so are closed again, left as they were found.
 * Returns nonzero when a controller is open. A controller that was open before is closed first.
 * On failure the last-error text says why, naming the port (the top of this file tells which
 * ports are tried), in one of these forms:
 *   "No controller found: no FTDI device attached."
 *   "No controller found: /dev/ttyUSB0: permission denied (install the udev rule or join the
 *    dialout group)."
 *   "No controller found: /dev/ttyUSB0: in use by another program."
 *   "No controller found: /dev/ttyUSB0: did not answer as a controller."
 * and, more rarely, "No controller found: <port>: cannot be opened." or "...: not attached."
 * (the port QV725_PORT names is not there), or "No controller found: <folder>: simulator folder
 * ignored (...)." When several ports fail, the reason is the most telling one (permission
 * denied, then in use, then not a controller). Holds the library's lock throughout: commands of
 * other threads wait until it returns. */
QV725_API uint8_t QV725_OpenDevice(void);

/* Closes the open controller. Returns nonzero when a device was open and closed cleanly, 0 when
 * none was open or the driver reported an error; either way no device is open afterwards.
 * Waits for a command of another thread to end first; commands after it find no device open. */
QV725_API uint8_t QV725_CloseDevice(void);

/* text [out, may be NULL]: receives a pointer to the last-error text, a zero-terminated string
 * of at most 41 characters after a command, and at most 255 after a failed QV725_OpenDevice
 * (whose reason names the port); empty after a successful command. The text belongs to the library
 * and is overwritten by the next command.
 * Always returns nonzero. */
QV725_API uint8_t QV725_GetLastError(const char** text);

/* Reads the controller's identification ("QV-725" followed by its version).
 * text [out, may be NULL]: receives a pointer to the zero-terminated identification text
 * (at most 200 characters; empty while no device is open). The text belongs to the library and
 * is overwritten by the next command. */
QV725_API uint8_t QV725_GetInfo(const char** text);

/* Reads the six temperatures.
 * t1..t6 [out, may be NULL]: temperature of channels 1 to 6, signed, in 0.1 degrees C. */
QV725_API uint8_t QV725_GetT(int32_t* t1, int32_t* t2, int32_t* t3, int32_t* t4, int32_t* t5,
                             int32_t* t6);

/* Reads the six fan speeds.
 * v1..v6 [out, may be NULL]: fan speed of channels 1 to 6, 0 to 65535 rpm. */
QV725_API uint8_t QV725_GetV(int32_t* v1, int32_t* v2, int32_t* v3, int32_t* v4, int32_t* v5,
                             int32_t* v6);

/* Writes one channel's parameter set (all arguments are inputs).
 * channel: 0 to 5.
 * flags: 0 to 255; bit 0 startup boost, bit 1 automatic control along the curve, bit 2
 *        temperature alarm, bit 3 fan speed alarm; bits 4 to 7 are reserved (send them as
 *        QV725_GetM reads them, normally 0).
 * tMin, tMax: the regulation curve's temperatures, 0.1 degrees C, 0 to 65535.
 * pwmMin, pwmMax: the curve's PWM at tMin and tMax, 0 to 255.
 * tAlarm: alarm temperature, 0.1 degrees C, 0 to 65535.
 * vAlarm: alarm (minimal) fan speed, rpm, 0 to 65535.
 * pwm: the channel's PWM value, 0 to 255.
 * Each field travels as 8 or 16 bits and reads back unsigned, so these ranges are exactly the
 * values QV725_GetM can give back; any other value fails with "Set channel mode: invalid
 * parameters." and nothing is sent. */
QV725_API uint8_t QV725_SetM(int32_t channel, int32_t flags, int32_t tMin, int32_t pwmMin,
                             int32_t tMax, int32_t pwmMax, int32_t tAlarm, int32_t vAlarm,
                             int32_t pwm);

/* Reads one channel's parameter set.
 * channel [in]: 0 to 5 (any other fails with "Get channel mode: invalid parameters.").
 * flags, tMin, pwmMin, tMax, pwmMax, tAlarm, vAlarm, pwm [out, may be NULL]: the fields as
 * described at QV725_SetM, each zero-extended (temperatures read back unsigned). */
QV725_API uint8_t QV725_GetM(int32_t channel, int32_t* flags, int32_t* tMin, int32_t* pwmMin,
                             int32_t* tMax, int32_t* pwmMax, int32_t* tAlarm, int32_t* vAlarm,
                             int32_t* pwm);

/* Sets the six PWM outputs.
 * p1..p6 [in]: PWM of channels 1 to 6, 0 to 255 (any other value fails with "Set PWM: invalid
 * parameters." and none of the six is sent). */
QV725_API uint8_t QV725_SetPWM(int32_t p1, int32_t p2, int32_t p3, int32_t p4, int32_t p5,
                               int32_t p6);

/* Reads the six PWM outputs.
 * p1..p6 [out, may be NULL]: PWM of channels 1 to 6, 0 to 255. */
QV725_API uint8_t QV725_GetPWM(int32_t* p1, int32_t* p2, int32_t* p3, int32_t* p4, int32_t* p5,
                               int32_t* p6);

/* Stores one channel's current parameters in the controller's EEPROM.
 * channel [in]: 0 to 5 (any other fails with "Save Params: invalid parameters."). */
QV725_API uint8_t QV725_SavePar(int32_t channel);

/* Reloads one channel's parameters from the controller's EEPROM.
 * channel [in]: 0 to 5 (any other fails with "Call Params: invalid parameters."). */
QV725_API uint8_t QV725_CallPar(int32_t channel);

#ifdef __cplusplus
}
#endif

#endif /* QV725_QV725_H */
