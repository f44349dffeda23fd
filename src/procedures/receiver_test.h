// The receiver test: the RX level and quality that the phone reports.
#pragma once

#include <QString>

namespace celvio {

struct App;

// Reads the reported RX level and quality into the first result page.
void ReceiverTest(App& app);

// The same on the second band, into the second result page.
void ReceiverTestSecondBand(App& app, const QString& band);

}  // namespace celvio
