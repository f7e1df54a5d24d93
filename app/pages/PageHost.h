// What a page may ask of the window that holds it: the shared state, the page control, the
// settings file, the status bar and the Channel page (which other pages open on a channel).
#pragma once

#include <QString>

class QWidget;
class TChannelPage;
struct TMainState;

class TPageHost {
public:
    virtual TMainState& State() = 0;
    virtual const TMainState& State() const = 0;
    // The page shown now.
    virtual QWidget* CurrentPage() const = 0;
    // Turns to page `index` as the program does: PageControlChange does not run.
    virtual void SetActivePage(int index) = 0;
    // What a page change by the user does: the page turned to is refreshed.
    virtual void PageControlChange() = 0;
    // Reads the readings of the six channels into the state (on-line only).
    virtual void ReadChannelValues() = 0;
    // Writes the settings file at once (see TMainForm::WriteSettingsNow).
    virtual void WriteSettingsNow() = 0;
    // The status bar's preset panel := `name`.
    virtual void ShowPresetName(const QString& name) = 0;
    virtual TChannelPage& ChannelPage() = 0;

protected:
    ~TPageHost() = default;
};
