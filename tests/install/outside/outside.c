/* A program outside the project, built against an installed qv725 (through pkg-config or
 * find_package): opens the controller, prints its identification and channel 1's temperature. */
#include <qv725/qv725.h>
#include <stdio.h>

int main(void) {
    const char* info = NULL;
    const char* error = NULL;
    int32_t t[6] = {0};

    if (!QV725_OpenDevice()) {
        QV725_GetLastError(&error);
        fprintf(stderr, "outside: no controller: %s\n", error != NULL ? error : "");
        return 1;
    }
    /* The text lives until the next command, so it is printed at once. */
    if (!QV725_GetInfo(&info)) {
        QV725_GetLastError(&error);
        fprintf(stderr, "outside: %s\n", error != NULL ? error : "");
        QV725_CloseDevice();
        return 1;
    }
    printf("outside: %s", info);
    if (!QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5])) {
        QV725_GetLastError(&error);
        fprintf(stderr, "\noutside: %s\n", error != NULL ? error : "");
        QV725_CloseDevice();
        return 1;
    }
    printf(", channel 1 at %.1f C\n", t[0] / 10.0);
    QV725_CloseDevice();
    return 0;
}
