/* Proves that the public header is C: compiled as C11, it includes qv725/qv725.h, links the
 * shared library and calls every export while no controller is open, with good arguments and
 * with arguments the library refuses. */
#include <dirent.h>
#include <qv725/qv725.h>
#include <stdio.h>
#include <string.h>

static int failures = 0;

#define CHECK(condition)                                                            \
    do {                                                                            \
        if (!(condition)) {                                                         \
            fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
            ++failures;                                                             \
        }                                                                           \
    } while (0)

/* Results are one byte, not a C++ bool or an int. */
_Static_assert(sizeof(QV725_GetT(NULL, NULL, NULL, NULL, NULL, NULL)) == 1, "one-byte result");
_Static_assert(sizeof(QV725_GetLastError(NULL)) == 1, "one-byte result");

static int AllZero(const int32_t* values, int count) {
    int i;
    for (i = 0; i < count; ++i) {
        if (values[i] != 0)
            return 0;
    }
    return 1;
}

static void Fill(int32_t* values, int count) {
    int i;
    for (i = 0; i < count; ++i)
        values[i] = -1;
}

static int EmptyLastError(void) {
    const char* text = NULL;
    return QV725_GetLastError(&text) && text != NULL && text[0] == '\0';
}

/* True when the kernel presents FTDI serial ports here, which the search would try. */
static int MachineHasFtdiPorts(void) {
    DIR* driver = opendir("/sys/bus/usb-serial/drivers/ftdi_sio");
    struct dirent* entry;
    int found = 0;
    if (driver == NULL)
        return 0;
    while ((entry = readdir(driver)) != NULL) {
        if (strncmp(entry->d_name, "ttyUSB", 6) == 0)
            found = 1;
    }
    closedir(driver);
    return found;
}

int main(void) {
    const char* text = "x";
    int32_t v[9];

    CHECK(EmptyLastError());
    CHECK(QV725_CloseDevice() == 0);

    CHECK(QV725_GetInfo(&text) != 0);
    CHECK(text != NULL && text[0] == '\0');
    Fill(v, 6);
    CHECK(QV725_GetT(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) != 0 && AllZero(v, 6));
    Fill(v, 6);
    CHECK(QV725_GetV(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) != 0 && AllZero(v, 6));
    Fill(v, 6);
    CHECK(QV725_GetPWM(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) != 0 && AllZero(v, 6));
    Fill(v, 8);
    CHECK(QV725_GetM(0, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]) != 0 &&
          AllZero(v, 8));
    CHECK(QV725_SetM(0, 3, 300, 77, 600, 255, 700, 500, 128) != 0);
    CHECK(QV725_SetPWM(1, 2, 3, 4, 5, 6) != 0);
    CHECK(QV725_SavePar(0) != 0);
    CHECK(QV725_CallPar(0) != 0);
    CHECK(QV725_GetT(NULL, NULL, NULL, NULL, NULL, NULL) != 0);
    CHECK(QV725_GetLastError(NULL) != 0);
    CHECK(EmptyLastError());

    /* Arguments that do not fit their fields are refused, even with no controller open. */
    Fill(v, 8);
    CHECK(QV725_GetM(256, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7]) == 0 &&
          AllZero(v, 8));
    CHECK(QV725_GetLastError(&text) && strcmp(text, "Get channel mode: invalid parameters.") == 0);
    CHECK(QV725_SetM(0, 3, 300, 77, 70000, 255, 700, 500, 128) == 0);
    CHECK(QV725_SetPWM(1, 2, 3, -1, 5, 6) == 0);
    CHECK(QV725_GetLastError(&text) && strcmp(text, "Set PWM: invalid parameters.") == 0);
    CHECK(QV725_SavePar(6) == 0);
    CHECK(QV725_CallPar(-1) == 0);
    CHECK(QV725_SetPWM(255, 0, 0, 0, 0, 0) != 0);
    CHECK(EmptyLastError());

    /* The stand-in driver on the library path has no devices and the simulator folder is
     * private, so the search finds nothing (unless real FTDI ports are attached), and says so. */
    if (MachineHasFtdiPorts()) {
        printf("FTDI serial ports attached: not asserting the search result\n");
    } else {
        CHECK(QV725_OpenDevice() == 0);
        CHECK(QV725_GetLastError(&text) &&
              strcmp(text, "No controller found: no FTDI device attached.") == 0);
    }
    QV725_CloseDevice();

    if (failures == 0)
        printf("capi: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
