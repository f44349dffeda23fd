// A service point station for the swap tests: its identity, a fixed day, and expected
// files written by hand.
#pragma once

#include "support/station_fixture.h"

#include <QDir>

namespace celvio::testing {

class SwapFixture : public StationFixture {
protected:
    SwapFixture()
    {
        ServicePointAB123();
        app.st.Language = 1;
        app.st.DebugMode = kTrue;
        QDir().mkpath(dir.filePath(QStringLiteral("RESULTS/LOG")));
    }
    QString Log(const QString& name = QString()) const
    {
        return dir.filePath(QStringLiteral("RESULTS/LOG/") + name);
    }
};

}  // namespace celvio::testing
