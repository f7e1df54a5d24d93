// The end of the desktop session: the EEPROM question is asked when the session manager lets
// the program talk to the user; otherwise the window closes without it, as on a signal.
#pragma once

#include <functional>

class QSessionManager;

// What the session end needs from the session manager.
class TSessionEndRequest {
public:
    virtual ~TSessionEndRequest() = default;
    // Asks for the user's attention; true when the session manager grants it.
    virtual bool AllowsInteraction() = 0;
    // Ends the interaction granted above.
    virtual void Release() = 0;
    // Asks the session manager to stop the logout.
    virtual void Cancel() = 0;
};

// The request of Qt's session manager.
class TQtSessionEndRequest : public TSessionEndRequest {
public:
    explicit TQtSessionEndRequest(QSessionManager& manager) : manager_(manager) {}
    bool AllowsInteraction() override;
    void Release() override;
    void Cancel() override;

private:
    QSessionManager& manager_;
};

// With interaction allowed: `ask` (the close query: true lets the program end) runs; its false
// cancels the logout and leaves the window open. Without interaction, and after a true, the
// window closes through `closeWithoutQuestion`.
void EndSession(TSessionEndRequest& request, const std::function<bool()>& ask,
                const std::function<void()>& closeWithoutQuestion);
