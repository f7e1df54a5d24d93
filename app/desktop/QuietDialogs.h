// Boxes that are not shown: their text goes to standard error. Used when the display is gone
// and the program still writes its settings (a box then could never be answered).
#pragma once

#include <QMessageBox>
#include <cstdio>

#include "Dialogs.h"

class TQuietDialogs : public TDialogs {
public:
    int Exec(QDialog& dialog) override {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog))
            std::fprintf(stderr, "Kelvane: %s\n", box->text().toLocal8Bit().constData());
        return QMessageBox::Cancel;
    }
};
