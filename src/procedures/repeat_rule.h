// The repeat rule of the measurements: a quantity that fails at the first reading is
// read up to two more times and must then pass twice in a row. Each quantity of a call
// keeps its outcome so far: passed at once, passed after a failure (repeat-green on
// the pages), or failed; the outcome tells the rule whether it failed before.
#pragma once

#include "core/app.h"
#include "record/cycle_record.h"

#include <algorithm>

namespace celvio {

struct RepeatRule {
    int attempt = 0;  // attempts made so far
    int needed = 1;   // attempts to make
    bool failedNow = false;
    bool recoveredNow = false;

    void StartAttempt() { failedNow = recoveredNow = false; }

    // Judges one quantity of the current attempt into its outcome (Passed before its
    // first judgement in the call). A failure raises the Verdict to Failed.
    void Judge(App& app, ReadingOutcome& outcome, bool failed)
    {
        if (failed) {
            outcome = ReadingOutcome::Failed;
            needed = attempt == 0 ? 3 : 2;
            app.st.Verdict = std::max(app.st.Verdict, Verdict::Failed);
            failedNow = true;
            return;
        }
        if (outcome == ReadingOutcome::Passed)
            return;
        outcome = ReadingOutcome::PassedOnRepeat;
        recoveredNow = true;
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
