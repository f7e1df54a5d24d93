/* qv725-read: opens the QV-725 controller, prints its identification and the six channels'
 * temperature, fan speed and PWM, and closes it. A small example of the library's C interface. */
#include <qv725/qv725.h>
#include <stdio.h>

static int Fail(void) {
    const char* text = NULL;
    QV725_GetLastError(&text);
    fprintf(stderr, "qv725-read: %s\n", text != NULL && *text != '\0' ? text : "unknown error");
    QV725_CloseDevice();
    return 1;
}

int main(void) {
    const char* info = NULL;
    int32_t t[6] = {0};
    int32_t v[6] = {0};
    int32_t p[6] = {0};
    int i;

    if (!QV725_OpenDevice()) {
        fprintf(stderr, "qv725-read: no QV-725 controller found\n");
        return 1;
    }
    if (!QV725_GetInfo(&info)) {
        return Fail();
    }
    printf("%s\n", info);
    if (!QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]) ||
        !QV725_GetV(&v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) ||
        !QV725_GetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5])) {
        return Fail();
    }
    printf("Channel  Temperature  Fan speed  PWM\n");
    for (i = 0; i < 6; ++i) {
        printf("%7d  %9.1f C  %5d rpm  %3d (%d%%)\n", i + 1, t[i] / 10.0, (int)v[i], (int)p[i],
               (int)(p[i] * 100 / 255));
    }
    QV725_CloseDevice();
    return 0;
}
