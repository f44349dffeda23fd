// The repeat rule of the measurements: a quantity that fails at the first reading is
// read up to two more times and must then pass twice in a row. A cell's colour tells
// its history: green passed at once, repeat-green (1,255,0) passed after a failure,
// red failed. The colour is read back to know whether the cell failed before.
#pragma once

#include "core/app.h"

#include <algorithm>

namespace celvio {

struct RepeatRule {
    int attempt = 0;  // attempts made so far
    int needed = 1;   // attempts to make
    bool failedNow = false;
    bool recoveredNow = false;

    void StartAttempt() { failedNow = recoveredNow = false; }

    // Judges one quantity of the current attempt: sets the cell's colour and returns
    // the mark to put before its text. A failure raises the Verdict to Failed.
    QString Judge(App& app, Cell& cell, bool failed, const QString& failedMark, const QString& recoveredMark,
                  const QString& passedMark)
    {
        if (failed) {
            cell.ForeColor = kRed;
            needed = attempt == 0 ? 3 : 2;
            app.st.Verdict = std::max(app.st.Verdict, Verdict::Failed);
            failedNow = true;
            return failedMark;
        }
        if (cell.ForeColor == kGreen)
            return passedMark;
        cell.ForeColor = kRepeatGreen;
        recoveredNow = true;
        return recoveredMark;
    }

    // Ends an attempt: the summary line shows the failure while one stands and gets its
    // earlier text back only when every quantity of the attempt passed.
    void EndAttempt(App& app, int summaryLine, const QString& failureText, const QString& savedText)
    {
        if (failedNow)
            app.st.SummaryLines[summaryLine] = failureText;
        else if (recoveredNow)
            app.st.SummaryLines[summaryLine] = savedText;
        ++attempt;
    }

    bool Again() const { return attempt < needed; }
};

}  // namespace celvio
