// Asking the EEPROM question at the end of the session when the session manager allows it.
#include "SessionEnd.h"

#include <QSessionManager>

bool TQtSessionEndRequest::AllowsInteraction() {
    return manager_.allowsInteraction();
}

void TQtSessionEndRequest::Release() {
    manager_.release();
}

void TQtSessionEndRequest::Cancel() {
    manager_.cancel();
}

void EndSession(TSessionEndRequest& request, const std::function<bool()>& ask,
                const std::function<void()>& closeWithoutQuestion) {
    if (request.AllowsInteraction()) {
        bool mayEnd = false;
        try {
            mayEnd = ask();
        } catch (...) {
            request.Release();
            request.Cancel();
            throw;
        }
        request.Release();
        if (!mayEnd) {
            request.Cancel();
            return;
        }
    }
    closeWithoutQuestion();
}
