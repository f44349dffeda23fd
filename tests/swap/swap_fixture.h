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
        platform.SetDateTime(QDateTime(QDate(2026, 12, 6), QTime(9, 30, 0)));
        StationState& st = app.st;
        st.Language = 1;
        st.DebugMode = kTrue;
        st.SwapFile = 1;
        QDir().mkpath(dir.filePath(QStringLiteral("RESULTS/LOG")));
        st.ServicePointId = QStringLiteral("AB123");
        st.Company = QStringLiteral("Handy Shop Nord");
        st.Address = QStringLiteral("Hauptstr. 5 Kiel");
        st.Phone = QStringLiteral("0431 998877");
        st.TestedBy = QStringLiteral("M. Berg");
        st.CycleDay = QDate(2026, 12, 6);
    }
    QString Log(const QString& name = QString()) const
    {
        return dir.filePath(QStringLiteral("RESULTS/LOG/") + name);
    }
};

}  // namespace celvio::testing
